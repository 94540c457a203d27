/* The ALSA sequencer stand-in (LD_PRELOAD) for machines without
 * /dev/snd/seq (containers, VMs without sound). It answers the snd_seq_* calls
 * a host makes as if a sequencer with no other clients were there: opening,
 * naming, ports and queues succeed; no events ever arrive; nothing is sent.
 * Only the calls that need a device are replaced; the info/struct accessors
 * stay alsa-lib's own. Build: gcc -shared -fPIC -o standin.so alsa-sequencer-standin.c -ldl */
#define _GNU_SOURCE
#include <errno.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>
#include <dlfcn.h>

typedef struct fake_seq { int magic; int pipe[2]; int next_port; int next_queue; } fake_seq;
static int trace = -1;
#define T(name) do { if (trace < 0) trace = getenv("FAKESEQ_TRACE") != NULL; if (trace) fprintf(stderr, "fakeseq: %s\n", name); } while (0)

static size_t real_size(const char *fn) {
  size_t (*f)(void) = (size_t (*)(void))dlsym(RTLD_NEXT, fn);
  return f ? f() : 0;
}

int snd_seq_open(void **handle, const char *name, int streams, int mode) {
  T("open");
  fake_seq *s = calloc(1, sizeof *s);
  s->magic = 0x5e9; s->next_port = 0; s->next_queue = 0;
  if (pipe(s->pipe) != 0) { free(s); return -errno; }
  *handle = s;
  return 0;
}
int snd_seq_close(void *h) { T("close"); fake_seq *s = h; close(s->pipe[0]); close(s->pipe[1]); free(s); return 0; }
int snd_seq_client_id(void *h) { return 128; }
int snd_seq_set_client_name(void *h, const char *n) { T("set_client_name"); return 0; }
int snd_seq_create_simple_port(void *h, const char *n, unsigned caps, unsigned type) { T("create_simple_port"); return ((fake_seq *)h)->next_port++; }
int snd_seq_delete_simple_port(void *h, int port) { return 0; }
int snd_seq_alloc_queue(void *h) { T("alloc_queue"); return ((fake_seq *)h)->next_queue++; }
int snd_seq_free_queue(void *h, int q) { return 0; }
int snd_seq_control_queue(void *h, int q, int type, int value, void *ev) { return 0; }
int snd_seq_drain_output(void *h) { return 0; }
int snd_seq_drop_input(void *h) { return 0; }
int snd_seq_drop_output(void *h) { return 0; }
int snd_seq_event_input(void *h, void **ev) { *ev = NULL; return -EAGAIN; }
int snd_seq_event_input_pending(void *h, int fetch) { return 0; }
int snd_seq_event_output(void *h, void *ev) { return 0; }
int snd_seq_event_output_direct(void *h, void *ev) { return 0; }
int snd_seq_free_event(void *ev) { return 0; }
int snd_seq_poll_descriptors_count(void *h, short events) { return 1; }
int snd_seq_poll_descriptors(void *h, struct pollfd *p, unsigned space, short events) {
  if (space < 1) return 0;
  p->fd = ((fake_seq *)h)->pipe[0]; p->events = POLLIN; p->revents = 0;  /* never readable */
  return 1;
}
int snd_seq_get_any_client_info(void *h, int client, void *info) { return -ENOENT; }
int snd_seq_get_any_port_info(void *h, int client, int port, void *info) { return -ENOENT; }
int snd_seq_get_port_info(void *h, int port, void *info) { memset(info, 0, real_size("snd_seq_port_info_sizeof")); return 0; }
int snd_seq_set_port_info(void *h, int port, void *info) { return 0; }
int snd_seq_query_next_client(void *h, void *info) { return -ENOENT; }
int snd_seq_query_next_port(void *h, void *info) { return -ENOENT; }
int snd_seq_query_port_subscribers(void *h, void *subs) { return -ENOENT; }
int snd_seq_get_queue_status(void *h, int q, void *st) { memset(st, 0, real_size("snd_seq_queue_status_sizeof")); return 0; }
int snd_seq_get_queue_tempo(void *h, int q, void *t) { memset(t, 0, real_size("snd_seq_queue_tempo_sizeof")); return 0; }
int snd_seq_set_queue_tempo(void *h, int q, void *t) { return 0; }
int snd_seq_set_queue_timer(void *h, int q, void *t) { return 0; }
int snd_seq_remove_events(void *h, void *r) { return 0; }
int snd_seq_subscribe_port(void *h, void *sub) { return 0; }
int snd_seq_unsubscribe_port(void *h, void *sub) { return 0; }
