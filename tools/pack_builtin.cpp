// Build tool: compresses the built-in game's XML into a C++ source file.
// The block is a 32-bit little-endian length of the text followed by a zlib
// stream of the text.
#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s game.xml out.cpp\n", argv[0]);
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  uLongf packedSize = compressBound(static_cast<uLong>(text.size()));
  std::vector<unsigned char> packed(packedSize);
  if (compress2(packed.data(), &packedSize, reinterpret_cast<const Bytef*>(text.data()),
                static_cast<uLong>(text.size()), 9) != Z_OK) {
    std::fprintf(stderr, "compression failed\n");
    return 1;
  }
  std::vector<unsigned char> block;
  uint32_t n = static_cast<uint32_t>(text.size());
  for (int i = 0; i < 4; ++i) block.push_back(static_cast<unsigned char>((n >> (8 * i)) & 0xFF));
  block.insert(block.end(), packed.begin(), packed.begin() + static_cast<long>(packedSize));

  std::ostringstream out;
  out << "// Generated from assets/builtin/game.xml by zor_pack_builtin. Do not edit.\n";
  out << "#include <cstddef>\n\nnamespace zor {\n\nextern const unsigned char kBuiltinGame[] = {";
  for (std::size_t i = 0; i < block.size(); ++i) {
    if (i % 16 == 0) out << "\n ";
    out << ' ' << static_cast<unsigned>(block[i]) << ',';
  }
  out << "\n};\nextern const std::size_t kBuiltinGameSize = " << block.size() << ";\n\n}  // namespace zor\n";
  std::string tmp = std::string(argv[2]) + ".tmp";
  {
    std::ofstream o(tmp, std::ios::binary);
    o << out.str();
    if (!o) return 1;
  }
  return std::rename(tmp.c_str(), argv[2]) == 0 ? 0 : 1;
}
