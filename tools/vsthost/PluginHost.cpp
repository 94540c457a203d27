#include "tools/vsthost/PluginHost.h"

#include <cstring>

#include "tools/vsthost/HostCallbackRegistry.h"

namespace vsthost {

namespace {

constexpr unsigned char kGuardByte = 0xA5;

vst::int32 chunkIndex(ChunkKind kind) { return kind == ChunkKind::kBank ? 0 : 1; }

vst::VstSpeakerArrangement makeArrangement(vst::int32 channels) {
  vst::VstSpeakerArrangement arrangement;
  std::memset(&arrangement, 0, sizeof arrangement);
  arrangement.numChannels = channels;
  if (channels == 0) {
    arrangement.type = vst::kSpeakerArrEmpty;
  } else if (channels == 1) {
    arrangement.type = vst::kSpeakerArrMono;
  } else if (channels == 2) {
    arrangement.type = vst::kSpeakerArrStereo;
  } else {
    arrangement.type = vst::kSpeakerArrUserDefined;
  }
  return arrangement;
}

}  // namespace

const char* describe(LoadStatus status) {
  switch (status) {
    case LoadStatus::kLoaded:
      return "loaded";
    case LoadStatus::kCannotOpen:
      return "cannot open the binary";
    case LoadStatus::kNoEntryPoint:
      return "no VSTPluginMain or main entry point";
    case LoadStatus::kNoInstance:
      return "the entry point returned no instance";
    case LoadStatus::kBadMagic:
      return "the effect record has no 'VstP' magic";
  }
  return "unknown";
}

PluginHost::PluginHost(ScriptedHost* host)
    : host_(host != nullptr ? host : new ScriptedHost()), entry_(nullptr), effect_(nullptr) {}

PluginHost::~PluginHost() {
  unload();
  delete host_;
}

LoadStatus PluginHost::load(const std::string& path, std::string* errorText) {
  unload();
  std::string reason;
  if (!library_.open(path, &reason)) {
    if (errorText != nullptr) {
      *errorText = "cannot load " + path + ": " + reason;
    }
    return LoadStatus::kCannotOpen;
  }
  const char* const names[] = {"VSTPluginMain", "main"};
  for (const char* name : names) {
    void* symbol = library_.findSymbol(name);
    if (symbol != nullptr) {
      entry_ = reinterpret_cast<vst::EntryProc>(symbol);
      entryName_ = name;
      break;
    }
  }
  if (entry_ == nullptr) {
    library_.close();
    if (errorText != nullptr) {
      *errorText = path + ": " + describe(LoadStatus::kNoEntryPoint);
    }
    return LoadStatus::kNoEntryPoint;
  }
  return createInstance(errorText);
}

LoadStatus PluginHost::createInstance(std::string* errorText) {
  destroyInstance();
  if (entry_ == nullptr) {
    if (errorText != nullptr) {
      *errorText = describe(LoadStatus::kNoEntryPoint);
    }
    return LoadStatus::kNoEntryPoint;
  }
  vst::AEffect* effect = nullptr;
  {
    HostCallbackRegistry::CreationScope scope(host_);
    effect = entry_(HostCallbackRegistry::callback());
  }
  if (effect == nullptr) {
    if (errorText != nullptr) {
      *errorText = describe(LoadStatus::kNoInstance);
    }
    return LoadStatus::kNoInstance;
  }
  if (effect->magic != vst::kEffectMagic) {
    // Not a record we may call into; leave it alone.
    if (errorText != nullptr) {
      *errorText = describe(LoadStatus::kBadMagic);
    }
    return LoadStatus::kBadMagic;
  }
  HostCallbackRegistry::add(effect, host_);
  effect_ = effect;
  return LoadStatus::kLoaded;
}

vst::intptr PluginHost::destroyInstance() {
  if (effect_ == nullptr) {
    return 0;
  }
  vst::AEffect* effect = effect_;
  effect_ = nullptr;
  const vst::intptr result = effect->dispatcher(effect, vst::effClose, 0, 0, nullptr, 0.0f);
  HostCallbackRegistry::remove(effect);
  return result;
}

void PluginHost::unload() {
  destroyInstance();
  entry_ = nullptr;
  entryName_.clear();
  library_.close();
}

vst::intptr PluginHost::dispatch(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr,
                                 float opt) {
  if (effect_ == nullptr || effect_->dispatcher == nullptr) {
    return 0;
  }
  return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

void PluginHost::setParameter(vst::int32 index, float value) {
  if (effect_ != nullptr && effect_->setParameter != nullptr) {
    effect_->setParameter(effect_, index, value);
  }
}

float PluginHost::getParameter(vst::int32 index) {
  if (effect_ == nullptr || effect_->getParameter == nullptr) {
    return 0.0f;
  }
  return effect_->getParameter(effect_, index);
}

bool PluginHost::processAccumulating(float** inputs, float** outputs, vst::int32 frames) {
  if (effect_ == nullptr || effect_->process == nullptr) {
    return false;
  }
  effect_->process(effect_, inputs, outputs, frames);
  return true;
}

bool PluginHost::processReplacing(float** inputs, float** outputs, vst::int32 frames) {
  if (effect_ == nullptr || effect_->processReplacing == nullptr) {
    return false;
  }
  effect_->processReplacing(effect_, inputs, outputs, frames);
  return true;
}

bool PluginHost::processDoubleReplacing(double** inputs, double** outputs, vst::int32 frames) {
  if (effect_ == nullptr || effect_->processDoubleReplacing == nullptr) {
    return false;
  }
  effect_->processDoubleReplacing(effect_, inputs, outputs, frames);
  return true;
}

TextAnswer PluginHost::queryText(vst::int32 opcode, vst::int32 index, vst::intptr value,
                                 float opt) {
  unsigned char buffer[kTextBufferBytes];
  std::memset(buffer, kGuardByte, sizeof buffer);
  TextAnswer answer;
  answer.result = dispatch(opcode, index, value, buffer, opt);
  for (int i = kTextBufferBytes - 1; i >= 0; --i) {
    if (buffer[i] != kGuardByte) {
      answer.bytesWritten = i + 1;
      break;
    }
  }
  const void* end = std::memchr(buffer, 0, sizeof buffer);
  answer.terminated = end != nullptr;
  if (answer.terminated && answer.bytesWritten > 0) {
    answer.text.assign(reinterpret_cast<const char*>(buffer));
  }
  return answer;
}

std::string PluginHost::effectName() { return queryText(vst::effGetEffectName).text; }
std::string PluginHost::vendorString() { return queryText(vst::effGetVendorString).text; }
std::string PluginHost::productString() { return queryText(vst::effGetProductString).text; }
std::string PluginHost::paramName(vst::int32 index) {
  return queryText(vst::effGetParamName, index).text;
}
std::string PluginHost::paramLabel(vst::int32 index) {
  return queryText(vst::effGetParamLabel, index).text;
}
std::string PluginHost::paramDisplay(vst::int32 index) {
  return queryText(vst::effGetParamDisplay, index).text;
}
std::string PluginHost::programName() { return queryText(vst::effGetProgramName).text; }

vst::intptr PluginHost::canDo(const char* text) {
  return dispatch(vst::effCanDo, 0, 0, const_cast<char*>(text));
}

vst::intptr PluginHost::open() { return dispatch(vst::effOpen); }

vst::intptr PluginHost::setSampleRate(float rateHz) {
  return dispatch(vst::effSetSampleRate, 0, 0, nullptr, rateHz);
}

vst::intptr PluginHost::setBlockSize(vst::int32 frames) {
  return dispatch(vst::effSetBlockSize, 0, frames);
}

vst::intptr PluginHost::resume() { return dispatch(vst::effMainsChanged, 0, 1); }
vst::intptr PluginHost::suspend() { return dispatch(vst::effMainsChanged, 0, 0); }

vst::intptr PluginHost::setSpeakerArrangement(vst::int32 inputChannels, vst::int32 outputChannels) {
  vst::VstSpeakerArrangement inputs = makeArrangement(inputChannels);
  vst::VstSpeakerArrangement outputs = makeArrangement(outputChannels);
  return dispatch(vst::effSetSpeakerArrangement, 0,
                  inputChannels >= 0 ? reinterpret_cast<vst::intptr>(&inputs) : 0,
                  outputChannels >= 0 ? &outputs : nullptr);
}

vst::intptr PluginHost::getChunk(ChunkKind kind, std::vector<std::uint8_t>* data) {
  void* address = nullptr;
  const vst::intptr size = dispatch(vst::effGetChunk, chunkIndex(kind), 0, &address);
  if (data != nullptr) {
    data->clear();
    if (size > 0 && address != nullptr) {
      const auto* bytes = static_cast<const std::uint8_t*>(address);
      data->assign(bytes, bytes + size);
    }
  }
  return size;
}

vst::intptr PluginHost::setChunk(ChunkKind kind, const std::vector<std::uint8_t>& data) {
  // A private copy: the plug-in must not rely on the host keeping its data.
  // An empty chunk still comes with a valid, non-null address.
  std::vector<std::uint8_t> copy(data);
  std::uint8_t none = 0;
  return dispatch(vst::effSetChunk, chunkIndex(kind), static_cast<vst::intptr>(copy.size()),
                  copy.empty() ? &none : copy.data());
}

vst::intptr PluginHost::sendEvents(const std::vector<HostEvent>& events) {
  HostEventList list(events);
  return dispatch(vst::effProcessEvents, 0, 0, list.list());
}

}  // namespace vsthost
