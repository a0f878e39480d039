// hostile-printer: runs the hostile IPP printer on loopback by hand or for the end-to-end
// tests, until its lifetime ends or it is interrupted.
#include <cups/cups.h>

#include <fstream>
#include <iostream>

#include "hostile_printer.h"

int main(int argc, char** argv) {
  using namespace jc::sim;
  std::optional<Hostility> hostility = argc > 1 ? hostilityNamed(argv[1]) : std::nullopt;
  // "escapes": a valid answer whose encryption list is 10,000 terminal escape sequences.
  bool escapes = argc > 1 && std::string_view(argv[1]) == "escapes";
  if ((!hostility && !escapes) || argc > 4) {
    std::cerr << "Usage: hostile-printer HOSTILITY|escapes [PORT-FILE [LIFETIME-SECONDS]]\n"
                 "Serves Get-Printer-Attributes at ipp://127.0.0.1:PORT/ipp/print as HOSTILITY:";
    for (Hostility h : allHostilities()) std::cerr << " " << hostilityName(h);
    std::cerr << "\n";
    return 2;
  }
  std::vector<std::string> encryptions = {"none", "sha2-256"};
  if (escapes) {
    encryptions.clear();
    for (int i = 0; i < 10000; ++i) encryptions.push_back("\x1b]0;owned\x07-" + std::to_string(i));
  }
  std::chrono::seconds lifetime(argc > 3 ? std::atoi(argv[3]) : 600);
  HostilePrinter printer(hostility.value_or(Hostility::Answer),
                         supportAnswer(encryptions, IPP_TAG_KEYWORD), lifetime);
  std::string error;
  if (!printer.start(0, &error)) {
    std::cerr << "hostile-printer: " << error << "\n";
    return 1;
  }
  std::cout << printer.port() << std::endl;
  if (argc > 2) std::ofstream(argv[2]) << printer.port() << "\n";
  std::this_thread::sleep_for(lifetime);
  return 0;
}
