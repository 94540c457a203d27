#include "QuilletFixture.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace quillet_test {

namespace {

void SetVariable(const char* name, const char* value) {
#ifdef _WIN32
  _putenv_s(name, value ? value : "");
#else
  if (value) {
    setenv(name, value, 1);
  } else {
    unsetenv(name);
  }
#endif
}

}  // namespace

void QuilletTest::SetUp() {
  folder_ = std::filesystem::temp_directory_path() /
            ("quillet-test-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
  std::filesystem::create_directories(folder_);
  SetVariable("QUILLET_LOCAL_APPDATA", folder_.string().c_str());
  plug_ = std::make_unique<Quillet>();
  plug_->SetHostServices(&host_);
  plug_->OnReset();
  plug_->OnActivation(true);
}

void QuilletTest::TearDown() {
  plug_.reset();
  SetVariable("QUILLET_LOCAL_APPDATA", nullptr);
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void QuilletTest::SetPlain(int index, double value) {
  plug_->GetParam(index)->SetClamped(value);
  plug_->OnParamChanged(index);
}

void QuilletTest::Midi(unsigned char status, unsigned char data1, unsigned char data2) {
  plug::IMidiMessage msg;
  msg.status = status;
  msg.data1 = data1;
  msg.data2 = data2;
  plug_->OnMidiMessage(&msg);
}

std::vector<double> QuilletTest::Process(int n, std::vector<double>* inputLeft) {
  std::vector<double> l(n), r(n), ol(n, 12345.0), orr(n, 12345.0);
  for (int i = 0; i < n; ++i) {
    l[i] = 0.5 * std::sin(0.01 * i + phase_);
    r[i] = 0.25 * std::cos(0.02 * i + phase_);
  }
  phase_ += 0.01 * n;
  double* in[2] = {l.data(), r.data()};
  double* out[2] = {ol.data(), orr.data()};
  plug_->ProcessBlock(in, out, n);
  if (inputLeft) *inputLeft = l;
  return ol;
}

}  // namespace quillet_test
