// One-item writers of the declaration records for the Esterel module: an
// external function, and a constant (whose text the LE writer shares). Neither
// writes a line end: the caller places the separators.
#include "chart/gal_norm.h"

#include <iostream>

void gal_declaration_functions::put_strl5(std::ostream& os) const {
    os << name_ << "(";
    const char* separator = "";
    for (const String& type : arguments_) {
        os << separator << type;
        separator = ",";
    }
    os << "): " << result_;
}

void gal_declaration_constants::put_le(std::ostream& os) const {
    if (typev_.empty() || name_.empty()) {
        std::cerr << "internal definition constant error: \"" << typev_ << "\",\"" << name_
                  << "\"" << std::endl;
        return;
    }
    static const char* const labels[nb_values] = {
        " := \"", " :c= \"", " :vhdl= \"", " :nusmv= \"", " :lustre= \"", " :esterel= \""};
    bool target_value_set = false;
    for (int i = 1; i < nb_values; ++i)
        if (!values_[i].empty())
            target_value_set = true;
    os << typev_ << " " << name_;
    for (int i = 0; i < nb_values; ++i) {
        if (values_[i].empty())
            continue;
        // The default needs its own label as soon as a target has a value.
        os << (i == 0 && target_value_set ? " :default= \"" : labels[i]) << values_[i] << "\"";
    }
}
