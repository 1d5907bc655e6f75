#include <iostream>

#include "tools/kxskin/kxSkinTool.h"
#include "toolkit/SysUtils.h"

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  std::vector<tk::String> args(argv + 1, argv + argc);
  return kxtool::RunKxSkin(args, std::cout, std::cerr);
}
#else
int main(int argc, char** argv) {
  std::vector<tk::String> args;
  for (int i = 1; i < argc; ++i) args.push_back(tk::FromUtf8(argv[i]));
  return kxtool::RunKxSkin(args, std::cout, std::cerr);
}
#endif
