// The values that travel between a host and the product through the plug-in
// base, whatever the format: MIDI and SysEx messages and the transport.
#pragma once

namespace plug {

struct IMidiMessage {
  int offset = 0;  // frame within the current block
  unsigned char status = 0;
  unsigned char data1 = 0;
  unsigned char data2 = 0;
};

struct ISysExMessage {
  int offset = 0;
  int size = 0;
  const unsigned char* data = nullptr;  // owned by the caller, valid during the call
};

// The host's transport at the first frame of the block being processed.
// Fields the host does not confirm keep these values.
struct ITransportInfo {
  double tempo = 120.0;
  double samplePos = -1.0;
  double ppqPos = -1.0;
  double lastBarPos = -1.0;
  double cycleStart = -1.0;
  double cycleEnd = -1.0;
  int numerator = 4;
  int denominator = 4;
  bool transportRunning = false;
  bool cycleActive = false;
};

}  // namespace plug
