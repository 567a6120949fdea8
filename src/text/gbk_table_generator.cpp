// Build tool: writes the GBK tables, as glibc's CP936 converter gives them, and the fast tables
// derived from them as a C++ source file that defines the tables the program is built with.
//
//   gw_gbk_table_generator OUTPUT_FILE
//
// Fails (and the build with it) when the converter is missing, rather than building a program
// that reads no Chinese.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "text/gbk_fast_tables.h"
#include "text/gbk_tables.h"

namespace {

template <typename Unit, std::size_t kSize>
void WriteTable(std::ostream& out, const Unit (&table)[kSize]) {
  out << "    {";
  for (std::size_t i = 0; i < kSize; ++i) {
    if (i % 16 == 0) {
      out << "\n        ";
    }
    out << "0x" << std::hex << static_cast<unsigned long long>(table[i]) << std::dec;
    out << (sizeof(Unit) > 4 ? "ull," : ",");
  }
  out << "\n    },\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: gw_gbk_table_generator OUTPUT_FILE\n";
    return 2;
  }
  const std::unique_ptr<gw::GbkTables> tables = gw::BuildGbkTablesWithIconv();
  // 啊 (B0A1) is a character of every GBK converter; without it the converter is missing.
  if (tables->toUnicode[0xB0A1] != u'\u554A') {
    std::cerr << "gw_gbk_table_generator: glibc's CP936 converter (iconv) is not available\n";
    return 1;
  }
  const std::string path = argv[1];
  const std::string staging = path + ".tmp";
  {
    std::ofstream out(staging, std::ios::binary | std::ios::trunc);
    out << "// Written by gw_gbk_table_generator from glibc's CP936 converter. Do not edit.\n"
           "#include \"text/gbk_fast_tables.h\"\n"
           "#include \"text/gbk_tables.h\"\n\n"
           "namespace gw {\n\n"
           "extern const GbkTables kGbkTablesOfTheBuild;\n"
           "const GbkTables kGbkTablesOfTheBuild = {\n";
    WriteTable(out, tables->toUnicode);
    WriteTable(out, tables->fromUnicode);
    out << "};\n\n";
    const std::unique_ptr<gw::GbkFastTables> fast = gw::DeriveGbkFastTables(*tables);
    out << "extern const GbkFastTables kGbkFastTablesOfTheBuild;\n"
           "const GbkFastTables kGbkFastTablesOfTheBuild = {\n";
    WriteTable(out, fast->decode);
    WriteTable(out, fast->encode);
    WriteTable(out, fast->countedApart);
    out << "    " << (fast->oneByteLeadCodes ? "true" : "false") << ",\n";
    WriteTable(out, fast->unheld);
    out << "};\n\n}  // namespace gw\n";
    if (!out.flush()) {
      std::cerr << "gw_gbk_table_generator: cannot write " << staging << "\n";
      return 1;
    }
  }
  if (std::rename(staging.c_str(), path.c_str()) != 0) {
    std::cerr << "gw_gbk_table_generator: cannot write " << path << "\n";
    return 1;
  }
  return 0;
}
