#include "app/cli.h"
#include "app/window_main.h"

#include <iostream>

namespace ventrel::app {

std::string UsageText() {
  return "Usage : ventrel [option]\n"
         "  (sans option)                      ouvre la fenêtre du simulateur\n"
         "  --polar-info FICHIER.pol [--percent P]\n"
         "                                     affiche la polaire et, pour chaque force de vent,\n"
         "                                     le meilleur angle au près, la vitesse et la VMG\n"
         "  --headless [options]               simulation et sortie NMEA sans fenêtre, démarrées\n"
         "                                     aussitôt ; Ctrl+C ou SIGTERM l'arrêtent proprement\n"
         "      --config FICHIER               configuration lue à la place de Ventrel.ini\n"
         "      --port NOM                     COM1 ... COM10 ou chemin d'un périphérique\n"
         "      --baud N                       vitesse en bauds (par défaut iVit de la configuration)\n"
         "      --stdout                       phrases (CR LF) sur la sortie standard\n"
         "                                     (--port ou --stdout, ou les deux)\n"
         "      --duration S                   arrêt après S secondes simulées\n"
         "      --fast                         temps simulé aussi vite que possible (avec --stdout)\n"
         "      --start-time \"AAAA-MM-JJ hh:mm:ss\"\n"
         "                                     heure locale au départ (sortie reproductible)\n"
         "      --log FICHIER                  liste NMEA brute, écrite à la fin\n"
         "      --log-stamped FICHIER          liste NMEA horodatée, écrite à la fin\n"
         "      --port-loss retry|exit         port série perdu en cours de route : nouvel essai\n"
         "                                     toutes les 2 s (retry, par défaut) ou arrêt (exit)\n"
         "    Statut de sortie : 0 fin normale (durée atteinte, Ctrl+C, SIGTERM, lecteur de\n"
         "                       la sortie standard parti) ; 1 échec en cours de route\n"
         "                       (écriture refusée sur la sortie standard ou dans un\n"
         "                       journal, port perdu avec --port-loss exit) ; 2 refus avant\n"
         "                       le départ (option, configuration sans phrase ou illisible,\n"
         "                       polaire, port), rien n'est envoyé\n"
         "  --help                             cette aide\n"
         "  --version                          la version du programme\n";
}

int RunWindow(int argc, char** argv) { return RunWindowApp(argc, argv); }

}  // namespace ventrel::app
