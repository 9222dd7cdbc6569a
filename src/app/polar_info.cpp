#include "app/cli.h"

namespace ventrel::app {

int RunPolarInfo(const std::vector<std::string>&, std::ostream&, std::ostream& err) {
  err << "--polar-info : pas encore disponible\n";
  return 1;
}

}  // namespace ventrel::app
