#include "app/cli.h"

#include <iostream>

namespace ventrel::app {

std::string UsageText() {
  return "Usage : ventrel [option]\n"
         "  (sans option)                      ouvre la fenêtre du simulateur\n"
         "  --polar-info FICHIER.pol [--percent P]\n"
         "                                     affiche la polaire et, pour chaque force de vent,\n"
         "                                     le meilleur angle au près, la vitesse et la VMG\n"
         "  --help                             cette aide\n"
         "  --version                          la version du programme\n";
}

int RunWindow(int, char**) {
  std::cerr << "La fenêtre n'est pas encore disponible dans cette version.\n" << UsageText();
  return 1;
}

}  // namespace ventrel::app
