// The host services of IPlugBase: each forwards to the binding's
// IHostServices, and without one does nothing and answers no.
#include "plug/HostIdentification.h"
#include "plug/IPlugBase.h"

namespace plug {

namespace {
// Room for any product name a host reports; longer ones are cut.
constexpr int kHostProductBytes = 256;
}  // namespace

void IPlugBase::SetHostServices(IHostServices* services) {
  services_ = services;
  if (services) formatCode_ = services->FormatCode();
}

void IPlugBase::BeginParamGesture(int paramIndex) {
  if (services_) services_->BeginParamGesture(paramIndex);
}

void IPlugBase::NotifyHostParamValue(int paramIndex, double normalized) {
  if (services_) services_->NotifyHostParamValue(paramIndex, normalized);
}

void IPlugBase::EndParamGesture(int paramIndex) {
  if (services_) services_->EndParamGesture(paramIndex);
}

void IPlugBase::NotifyHostDisplayChanged() {
  if (services_) services_->NotifyHostDisplayChanged();
}

bool IPlugBase::IsOfflineRender() { return services_ && services_->IsOfflineRender(); }

int IPlugBase::GetSamplePosition() { return services_ ? services_->GetSamplePosition() : 0; }

double IPlugBase::GetHostTempo() { return services_ ? services_->GetHostTempo() : 0.0; }

void IPlugBase::GetTimeSignature(int* numerator, int* denominator) {
  if (services_) {
    services_->GetTimeSignature(numerator, denominator);
  } else {
    *numerator = 0;
    *denominator = 0;
  }
}

void IPlugBase::GetTransportInfo(ITransportInfo* info) {
  if (services_) services_->GetTransportInfo(info);
}

int IPlugBase::GetHostKind() {
  // Asked once: an unknown host (kind 0) is stored too.
  if (hostKind_ != kHostNotAsked || !services_) return hostKind_;
  char product[kHostProductBytes];
  product[0] = '\0';
  int version = 0;
  services_->GetHostProduct(product, sizeof product, &version);
  product[sizeof product - 1] = '\0';
  hostVersion_ = version;
  hostKind_ = HostKindFromProductString(product);
  return hostKind_;
}

void IPlugBase::ResizeEditor(int, int) {
  if (!editor_) return;
  OnEditorResized();
  if (services_) services_->ResizeEditor(editor_->Width(), editor_->Height());
}

bool IPlugBase::RequestEditorResize(int width, int height) {
  return !services_ || services_->RequestEditorResize(width, height);
}

void IPlugBase::SetLatencySamples(int samples) {
  latency_ = samples;
  if (services_) services_->SetLatencySamples(samples);
}

bool IPlugBase::SendMidiToHost(const IMidiMessage* msg) {
  return services_ && services_->SendMidiToHost(msg);
}

bool IPlugBase::SendSysExToHost(const ISysExMessage* msg) {
  return services_ && services_->SendSysExToHost(msg);
}

}  // namespace plug
