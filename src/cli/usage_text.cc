#include "cli/usage_text.h"

#include <string>

#include "output/console_output.h"
#include "output/console_text.h"

// The version is project()'s, given by the build.
#ifndef TAVREL_VERSION
#error "TAVREL_VERSION (the project's version) is given by CMakeLists.txt"
#endif

namespace {

const char kProgramName[] = "tavREL";

// Lines 2 to 26; nullptr marks a blank line (one space).  Windows-1252.
const char* const kLines[] = {
    "V\xE9rifie si un fichier, un dossier, ou une cl\xE9 est prot\xE9g\xE9 par SFC",
    nullptr,
    "Syntaxe    : tavrel [name] [/L:listname] [/R] [/K] [/F] [/P] [/S] [/O:outputname]",
    nullptr,
    "  name     : nom de fichier, de dossier, ou de cl\xE9 du Registre \xE0 tester",
    "             NB : noms courts accept\xE9s. Ignor\xE9 si param\xE8tre /L utilis\xE9",
    "  /L:      : listname = fichier contenant les fichiers et/ou cl\xE9s \xE0 tester",
    "             NB : un fichier, un dossier, ou une cl\xE9 par ligne",
    "  /R       : analyse les sous-dossiers selon le filtre (jokers) utilis\xE9",
    "             NB : param\xE8tre ignor\xE9 avec une cl\xE9 ou param\xE8tre /K utilis\xE9",
    "  /K       : indique que name est une cl\xE9 (ou listname contient des cl\xE9s)",
    "             NB : supprime la d\xE9tection automatique des cl\xE9s (facultatif)",
    "  /F       : force la v\xE9rification m\xEAme si name (fichier, cl\xE9) n'existe pas",
    "             NB : non utile avec l'analyse des dossiers (avec filtres)",
    "  /P       : ne liste que les fichiers prot\xE9g\xE9s (ignore les autres)",
    "  /S       : ignore l'affichage \xE9" "cran (\xE0 utiliser avec le param\xE8tre /O)",
    "  /O:      : outputname = nom du fichier \xE0 cr\xE9" "er (d\xE9" "faut : tavREL.txt)",
    "             NB : si le fichier existe d\xE9j\xE0, le r\xE9sultat est ajout\xE9",
    nullptr,
    "  Exemples : tavrel *.*",
    "             tavrel c:\\windows\\system32\\",
    "             tavrel c:\\windows\\system32\\winlogon.exe",
    "             tavrel %systemroot%\\system32\\*.dll /o",
    "             tavrel /l:tavrel_list.txt /r /o:result.txt",
    "             tavrel hklm\\software\\microsoft\\speech\\ux",
};

// Plain ASCII upper-casing: only a to z change.
std::string AsciiUpper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

}  // namespace

void WriteUsageText() {
  WriteConsoleLine("", ConvertProgramWords(AsciiUpper(kProgramName) + " " + "v" TAVREL_VERSION +
                                           " " + "- les d\xE9veloppeurs de tavREL, 2026"));
  for (const char* line : kLines) {
    if (line == nullptr) {
      WriteConsoleRaw(" \r\n", 3);
    } else {
      WriteConsoleLine("", ConvertProgramWords(line));
    }
  }
}
