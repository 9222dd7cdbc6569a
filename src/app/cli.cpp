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
         "      --tcp [ADRESSE:]PORT           serveur TCP (port usuel 10110 ; toutes les\n"
         "                                     interfaces sans adresse, 127.0.0.1 pour ce poste\n"
         "                                     seul, [::1] en IPv6) ; peut être répétée\n"
         "      --udp HOTE:PORT                datagrammes UDP vers HOTE (unicast, broadcast ou\n"
         "                                     multicast) ; peut être répétée ; sans --tcp ni\n"
         "                                     --udp, ceux de la section [RESEAU] de la configuration\n"
         "      --wait-clients N               attend N clients TCP avant la seconde 0\n"
         "                                     (--port, --stdout, --tcp, --udp : au moins une,\n"
         "                                     ensemble si l'on veut)\n"
         "      --duration S                   arrêt après S secondes simulées\n"
         "      --speed N                      temps réel N fois plus rapide (1 à 100 ; les\n"
         "                                     heures des phrases suivent le temps simulé)\n"
         "      --pilot AUTO|STDBY|NAV         pilote à la seconde 0 (NAV : le cap suit les\n"
         "                                     consignes APB / RMB lues par --nmea-in)\n"
         "      --fast                         temps simulé aussi vite que possible (avec --stdout\n"
         "                                     ou --tcp : le client TCP le plus lent règle le\n"
         "                                     rythme, rien n'est perdu ; refusé avec --udp, qui\n"
         "                                     perdrait les phrases, et avec --port)\n"
         "      --start-time \"AAAA-MM-JJ hh:mm:ss\"\n"
         "                                     heure locale au départ (sortie reproductible)\n"
         "      --log FICHIER                  liste NMEA brute, écrite à la fin\n"
         "      --log-stamped FICHIER          liste NMEA horodatée, écrite à la fin\n"
         "      --port-loss retry|exit         port série perdu en cours de route : nouvel essai\n"
         "                                     toutes les 2 s (retry, par défaut) ou arrêt (exit)\n"
         "    Un client TCP qui a plus de 64 Kio de retard en temps réel est déconnecté\n"
         "    (ligne sur l'erreur standard) ; les octets reçus des clients sont ignorés.\n"
         "    Statut de sortie : 0 fin normale (durée atteinte, Ctrl+C, SIGTERM, lecteur de\n"
         "                       la sortie standard parti) ; 1 échec en cours de route\n"
         "                       (écriture refusée sur la sortie standard ou dans un\n"
         "                       journal, port perdu avec --port-loss exit) ; 2 refus avant\n"
         "                       le départ (option, configuration sans phrase ou illisible,\n"
         "                       polaire, port série, port TCP déjà utilisé), rien n'est envoyé\n"
         "  --help                             cette aide\n"
         "  --version                          la version du programme\n";
}

int RunWindow(int argc, char** argv) { return RunWindowApp(argc, argv); }

}  // namespace ventrel::app
