#include <filesystem>
#include <system_error>

#include "skin/data/kxFileLookup.h"
#include "toolkit/SysUtils.h"

namespace kx {

tk::String FindFileNoCase(const tk::String& Path) {
  if (tk::FileExists(Path)) return Path;
  size_t cut = Path.find_last_of(L"/\\");
  tk::String dir = cut == tk::String::npos ? tk::String(L".") : Path.substr(0, cut + 1);
  tk::String want = tk::UpperCaseAscii(cut == tk::String::npos ? Path : Path.substr(cut + 1));
  if (want.empty()) return {};
  std::error_code ec;
  for (std::filesystem::directory_iterator it(tk::ToUtf8(dir), ec), end; !ec && it != end; it.increment(ec)) {
    tk::String name = tk::FromUtf8(it->path().filename().string());
    if (tk::UpperCaseAscii(name) == want && it->is_regular_file(ec)) return cut == tk::String::npos ? name : dir + name;
  }
  return {};
}

}  // namespace kx
