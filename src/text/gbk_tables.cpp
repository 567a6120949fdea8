#include "text/gbk_tables.h"

namespace gw {

// Written at build time by gw_gbk_table_generator (gbk_table_data.cpp in the build tree).
extern const GbkTables kGbkTablesOfTheBuild;

const GbkTables& Gbk() {
  return kGbkTablesOfTheBuild;
}

}  // namespace gw
