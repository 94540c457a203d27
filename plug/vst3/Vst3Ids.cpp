#include "plug/vst3/Vst3Ids.h"

#include <cctype>

namespace plug {
namespace vst3ids {

vst3::Uid DeriveVst2ClassId(std::int32_t vst2UniqueId, const char* name) {
  unsigned char bytes[16] = {0x56, 0x53, 0x54};
  const auto id = static_cast<std::uint32_t>(vst2UniqueId);
  for (int i = 0; i < 4; ++i) bytes[3 + i] = static_cast<unsigned char>(id >> (24 - 8 * i));
  for (int i = 0; i < 9 && name && name[i]; ++i)
    bytes[7 + i] = static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(name[i])));
  std::uint32_t l[4] = {0, 0, 0, 0};
  for (int i = 0; i < 16; ++i) l[i / 4] = (l[i / 4] << 8) | bytes[i];
  return vst3::Uid{l[0], l[1], l[2], l[3]};
}

}  // namespace vst3ids
}  // namespace plug
