// The plain-text filter.
#include "forms/report/report.h"
#include "forms/report/layout.h"

#include <algorithm>

using namespace tessan_report;

OFD_afficheur_filtre_texte::OFD_afficheur_filtre_texte(String* lines, int count)
    : count(lines ? std::max(count, 0) : 0), lines(lines) {}

char OFD_afficheur_filtre_texte::typeligne(const String& line) {
    return line_type(line);
}

void OFD_afficheur_filtre_texte::imprime_ligne(std::ostream& f, const String& line) {
    if (line_type(line) == text_line)
        f << line << std::endl;
    else
        f << String(55, '-') << std::endl;
}

void OFD_afficheur_filtre_texte::imprime(std::ostream& f) {
    for (int i = 0; i < count; ++i)
        imprime_ligne(f, lines[i]);
}
