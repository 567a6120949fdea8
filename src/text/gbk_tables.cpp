#include "text/gbk_tables.h"

#include "text/gbk_fast_tables.h"

namespace gw {

// Written at build time by gw_gbk_table_generator (gbk_table_data.cpp in the build tree).
extern const GbkTables kGbkTablesOfTheBuild;
extern const GbkFastTables kGbkFastTablesOfTheBuild;

const GbkTables& Gbk() {
  return kGbkTablesOfTheBuild;
}

const GbkFastTables& GbkFast() {
  return kGbkFastTablesOfTheBuild;
}

}  // namespace gw
