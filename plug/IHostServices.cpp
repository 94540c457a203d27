#include "plug/IHostServices.h"

namespace plug {

// The defaults read one field of the transport, seeded with the value that
// means "unknown": GetTransportInfo leaves fields the host does not confirm
// as they are.

int IHostServices::GetSamplePosition() {
  ITransportInfo info;
  GetTransportInfo(&info);
  if (!(info.samplePos >= 0.0)) return 0;
  const double rounded = info.samplePos + 0.5;
  return rounded < 2147483647.0 ? static_cast<int>(rounded) : 2147483647;
}

double IHostServices::GetHostTempo() {
  ITransportInfo info;
  info.tempo = 0.0;
  GetTransportInfo(&info);
  return info.tempo;
}

void IHostServices::GetTimeSignature(int* numerator, int* denominator) {
  ITransportInfo info;
  info.numerator = 0;
  info.denominator = 0;
  GetTransportInfo(&info);
  *numerator = info.numerator;
  *denominator = info.denominator;
}

}  // namespace plug
