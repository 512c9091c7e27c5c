// The LE items of the chart's records: one declaration, state or transition
// each, without a line end.
#include "writers/put_le.h"

#include <cmath>
#include <iomanip>
#include <iostream>
#include <sstream>

#include "chart/gal_norm.h"

namespace {

// A state coordinate always carries exactly one decimal point: a whole
// number gets ".0" after its digits, any other keeps the default number form
// (appending ".0" to that would give a second point).
String le_coordinate(double v) {
    std::ostringstream text;
    if (v == std::trunc(v) && std::fabs(v) < 1e15)
        text << std::fixed << std::setprecision(0) << (v == 0.0 ? 0.0 : v) << ".0";
    else
        text << v;
    return text.str();
}

void put_action_names(std::ostream& os, const std::list<int>& actions, const String* table) {
    const char* separator = "";
    for (int a : actions) {
        os << separator << table[a];
        separator = ",";
    }
}

}  // namespace

int data_LE_expression(const String& trigger) {
    for (const char* data_test : {"#", "<", ">", "<=", ">=", "==", "!="})
        if (contains(trigger, data_test))
            return 1;
    return 0;
}

void gal_declaration_variables::put_le(std::ostream& os) const {
    os << nom_;
    if (typev_ != "pure")
        os << ": " << typev_;
}

void gal_declaration_pres::put_le(std::ostream& os) const {
    os << prename_ << " : " << actualname_;
    if (initialname_ != "---")
        os << " $ " << initialname_;
}

void gal_declaration_progs::put_le(std::ostream& os) const {
    os << '"' << chemin_ << "\": " << nom_fichier_ << ": " << nom_module_;
}

void gal_tpen_etat::put_le(std::ostream& os, const gal_declaration_progs* progs,
                           const String* actions) const {
    os << "state: " << un_nom();
    if (mon_type_ == final_star)
        os << " final";
    if (mon_run_.ident() != -1) {
        os << " run " << progs[mon_run_.ident()].nom_module();
        if (!mon_run_.renaming().empty())
            os << "[" << mon_run_.renaming() << "]";
    }
    if (!mes_actions_.empty()) {
        os << " / ";
        put_action_names(os, mes_actions_, actions);
    }
    os << " geometry: <" << le_coordinate(ma_posx_) << "," << le_coordinate(ma_posy_) << "> 1.0;";
}

void gal_tpen_transition::put_le(std::ostream& os, const gal_tpen_etat* states,
                                 const String* actions) const {
    if (mon_ident_etat_amont_ == -1)
        os << "initial-> ";
    if (mon_ident_etat_aval_ == -1)
        os << "final-> ";
    if (mon_ident_etat_amont_ >= 0)
        os << states[mon_ident_etat_amont_].un_nom() << " ";
    if (ma_priorite_ == -1)
        os << "other ";
    else if (ma_priorite_ != 0)
        os << ma_priorite_ << " ";
    os << (data_LE_expression(ma_receptivite_) ? " [value:" : " [") << ma_receptivite_ << "] ";
    if (!mes_actions_.empty()) {
        os << "/ ";
        put_action_names(os, mes_actions_, actions);
    }
    if (mon_ident_etat_aval_ >= 0) {
        os << " ";
        switch (mon_type_trans_) {
        case weak_trans: os << "weak-> "; break;
        case strong_trans: os << "strong-> "; break;
        case normalterm_trans: os << "normalterm-> "; break;
        case suspend_trans:
            std::cerr << "Warning in  gal_tpen_transition::put_le(): a suspend transition is "
                         "not exportable in le format ..."
                      << std::endl;
            os << "-> ";
            break;
        default:
            std::cerr << "Warning in  gal_tpen_transition::put_le(): found abnormal transition ..."
                      << std::endl;
            os << "->";
            break;
        }
        os << states[mon_ident_etat_aval_].un_nom();
    }
    os << " geometry: <" << posx_receptivite_ << "," << posy_receptivite_ << ">;";
}
