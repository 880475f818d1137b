// scriptTablesImage() of a build that cannot run make_script_tables (a cross
// build without an emulator): the tables are built on first use.
#include "platform/script_data.h"

namespace lct {

std::optional<std::string_view> scriptTablesImage(std::string_view) {
    return std::nullopt;
}

}  // namespace lct
