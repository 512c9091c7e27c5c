// gal_norm: the chart model.
//
// A chart (`gal_tpen_fichier`) is one module: its model kind, module name,
// declaration tables, states (`gal_tpen_etat`), transitions
// (`gal_tpen_transition`) and the list of its concurrent automata. Everything
// here is a plain value: the chart owns its tables (std::vector), records are
// copied in and out, and copying a chart is a deep copy.
//
// Identity is by index: a transition names its source and target states by
// their index in the chart's state table, states and transitions name actions
// by their index in the action table, and a run instance names an external
// program by its index in the programs table; -1 means none everywhere.
//
// Data members are the names of the model's fields followed by '_' (so that
// they never clash with the getters of the same name). The chart class is a
// friend of every record: its members (editing, checks and writers, some of
// them defined in other folders) read and change fields directly.
//
// Internal errors write one or two lines on the standard error stream and the
// call goes on with a placeholder; nothing throws.
#ifndef TESSAN_CHART_GAL_NORM_H
#define TESSAN_CHART_GAL_NORM_H

#include <cstdint>
#include <list>
#include <ostream>
#include <set>
#include <utility>
#include <vector>

#include "text/Stringpp.h"

class gal_tpen_fichier;

// ---- Kinds -----------------------------------------------------------------

// Model kinds of a chart.
constexpr int undefined_model = -1;
constexpr int basic_model = 0;
constexpr int par_automata_model = 1;
constexpr int light_esterel_model = 2;
constexpr int synccharts_model = 3;

// Chart-text keywords of the model kinds 0 to 3, indexed by the kind.
extern const char gal_mots_cles_modeles[4][21];

// Kinds of a state.
constexpr int normal_star = 1;
constexpr int final_star = 2;

// Kinds of a transition.
constexpr int weak_trans = 0;
constexpr int strong_trans = 1;
constexpr int suspend_trans = 2;
constexpr int normalterm_trans = 3;

// ---- Declaration records ---------------------------------------------------

// A typed signal or variable name. The type "pure" marks a pure signal; an
// empty type is an ordinary (unnamed) type, not a pure one.
class gal_declaration_variables {
  friend class gal_tpen_fichier;

 public:
  gal_declaration_variables();
  gal_declaration_variables(String* typev, String* nom);
  gal_declaration_variables(const String& typev, const String& nom);
  gal_declaration_variables(const gal_declaration_variables&) = default;
  gal_declaration_variables(gal_declaration_variables&&) = default;
  gal_declaration_variables& operator=(const gal_declaration_variables&) = default;
  gal_declaration_variables& operator=(gal_declaration_variables& o) {
    return *this = static_cast<const gal_declaration_variables&>(o);
  }
  gal_declaration_variables& operator=(gal_declaration_variables&&) = default;
  ~gal_declaration_variables() = default;

  String nom() const { return nom_; }
  String typev() const { return typev_; }

  // Writers, defined in writers/.
  void put_gal(std::ostream& os) const;
  void put_le(std::ostream& os) const;

 private:
  String typev_;
  String nom_;
};

bool operator==(const gal_declaration_variables& a, const gal_declaration_variables& b);
bool operator!=(const gal_declaration_variables& a, const gal_declaration_variables& b);
// By name, then by type (byte order): the order of the writers' sets.
bool operator<(const gal_declaration_variables& a, const gal_declaration_variables& b);
std::ostream& operator<<(std::ostream& os, const gal_declaration_variables& v);

// A typed constant with one value text per target language: 0 default, 1 C,
// 2 VHDL, 3 NuSMV, 4 Lustre, 5 Esterel.
class gal_declaration_constants {
  friend class gal_tpen_fichier;

 public:
  static constexpr int nb_values = 6;

  gal_declaration_constants();
  gal_declaration_constants(const String& typev, const String& name);
  gal_declaration_constants(const String& typev, const String& name, const String* v);
  gal_declaration_constants(String* typev, String* name, String* v);
  // The reader's form: each (i, text) pair with 0 <= i <= 5 sets value i, a
  // later pair winning; pairs with another index are dropped silently.
  gal_declaration_constants(String* typev, String* name,
                            std::list<std::pair<int, String>>* values);

  String typev() const { return typev_; }
  String name() const { return name_; }
  String value(int i) const;  // "???" and a line on stderr out of 0..5
  void typev(const String& t) { typev_ = t; }
  void name(const String& n) { name_ = n; }
  void value(int i, const String& text);  // out of 0..5: a line on stderr, no change

  // Writers, defined in writers/.
  void put_gal(std::ostream& os) const;
  void put_le(std::ostream& os) const;

 private:
  String typev_;
  String name_;
  String values_[nb_values];
};

bool operator==(const gal_declaration_constants& a, const gal_declaration_constants& b);
bool operator!=(const gal_declaration_constants& a, const gal_declaration_constants& b);
std::ostream& operator<<(std::ostream& os, const gal_declaration_constants& c);

// An external function signature. Constructors take the result type first.
class gal_declaration_functions {
  friend class gal_tpen_fichier;

 public:
  gal_declaration_functions();
  gal_declaration_functions(const String& result, const String& name,
                            const std::list<String>& arguments);
  gal_declaration_functions(String* result, String* name, std::list<String>* arguments);

  String name() const { return name_; }
  String result() const { return result_; }
  std::list<String> arguments() const { return arguments_; }
  void name(const String& n) { name_ = n; }
  void result(const String& r) { result_ = r; }
  void arguments(const std::list<String>& a) { arguments_ = a; }

  // Writers, defined in writers/.
  void put_gal(std::ostream& os) const;
  void put_strl5(std::ostream& os) const;

 private:
  String name_;
  String result_;
  std::list<String> arguments_;
};

bool operator==(const gal_declaration_functions& a, const gal_declaration_functions& b);
bool operator!=(const gal_declaration_functions& a, const gal_declaration_functions& b);
std::ostream& operator<<(std::ostream& os, const gal_declaration_functions& f);

// An external program (a module in a chart file of its own) that states can
// run. Equality looks at path, file and module name only, not at the ports.
class gal_declaration_progs {
  friend class gal_tpen_fichier;

 public:
  gal_declaration_progs();
  gal_declaration_progs(String* chemin, String* nom_fichier, String* nom_module,
                        std::list<gal_declaration_variables>* inputs,
                        std::list<gal_declaration_variables>* sensors,
                        std::list<gal_declaration_variables>* outputs);
  gal_declaration_progs(const String& chemin, const String& nom_fichier,
                        const String& nom_module,
                        const std::list<gal_declaration_variables>& inputs,
                        const std::list<gal_declaration_variables>& sensors,
                        const std::list<gal_declaration_variables>& outputs);
  gal_declaration_progs(const gal_declaration_progs&) = default;
  gal_declaration_progs(gal_declaration_progs&&) = default;
  gal_declaration_progs& operator=(const gal_declaration_progs&) = default;
  gal_declaration_progs& operator=(gal_declaration_progs& o) {
    return *this = static_cast<const gal_declaration_progs&>(o);
  }
  gal_declaration_progs& operator=(gal_declaration_progs&&) = default;
  ~gal_declaration_progs() = default;

  String nom_module() const { return nom_module_; }
  String nom_fichier() const { return nom_fichier_; }
  String chemin() const { return chemin_; }
  std::list<gal_declaration_variables> my_inputs_list() const { return my_inputs_list_; }
  std::list<gal_declaration_variables> my_outputs_list() const { return my_outputs_list_; }

  // Writers, defined in writers/.
  void put_gal(std::ostream& os) const;
  void put_le(std::ostream& os) const;

 private:
  String nom_module_;
  String nom_fichier_;
  String chemin_;
  std::list<gal_declaration_variables> my_inputs_list_;
  std::list<gal_declaration_variables> my_sensors_list_;  // read by the chart's members only
  std::list<gal_declaration_variables> my_outputs_list_;
};

bool operator==(const gal_declaration_progs& a, const gal_declaration_progs& b);
bool operator!=(const gal_declaration_progs& a, const gal_declaration_progs& b);
std::ostream& operator<<(std::ostream& os, const gal_declaration_progs& p);

// A "pre" declaration: prename holds the previous value of actualname;
// initialname "---" means no initial value.
class gal_declaration_pres {
  friend class gal_tpen_fichier;

 public:
  gal_declaration_pres();
  gal_declaration_pres(const String& prename, const String& actualname,
                       const String& initialname);
  gal_declaration_pres(String* prename, String* actualname);
  gal_declaration_pres(String* prename, String* actualname, String* initialname);

  String prename() const { return prename_; }
  String actualname() const { return actualname_; }
  String initialname() const { return initialname_; }
  void prename(const String& s) { prename_ = s; }
  void actualname(const String& s) { actualname_ = s; }
  void initialname(const String& s) { initialname_ = s; }

  // Writers, defined in writers/.
  void put_gal(std::ostream& os) const;
  void put_le(std::ostream& os) const;

 private:
  String prename_;
  String actualname_;
  String initialname_;
};

bool operator==(const gal_declaration_pres& a, const gal_declaration_pres& b);
bool operator!=(const gal_declaration_pres& a, const gal_declaration_pres& b);
std::ostream& operator<<(std::ostream& os, const gal_declaration_pres& p);

// What a state runs: an index into the chart's programs (-1: nothing) and a
// renaming text "actual\formal,actual\formal,...".
class gal_run_instance {
  friend class gal_tpen_fichier;

 public:
  gal_run_instance();
  gal_run_instance(int ident, const String& renaming);

  int ident() const { return ident_; }
  String renaming() const { return renaming_; }
  void ident(int i) { ident_ = i; }
  void renaming(const String& r) { renaming_ = r; }

  // The actual signal bound to the formal port s; s itself when unbound.
  String renaming_signal(const String& s) const;

 private:
  int ident_;
  String renaming_;
};

bool operator==(const gal_run_instance& a, const gal_run_instance& b);
bool operator!=(const gal_run_instance& a, const gal_run_instance& b);
std::ostream& operator<<(std::ostream& os, const gal_run_instance& r);

// ---- States and transitions ------------------------------------------------

// 16 capital letters from a generator of our own that is never seeded: the
// sequence of names is the same on every run.
String gal_norm_genere_nom();

// A state ("star" in the chart text). Geometry is in model units.
class gal_tpen_etat {
  friend class gal_tpen_fichier;
  friend bool operator!=(const gal_tpen_etat& a, const gal_tpen_etat& b);

 public:
  gal_tpen_etat();
  gal_tpen_etat(int kind, String* name, double x, double y, const gal_run_instance& run,
                std::list<int>* actions);
  // The reader's form.
  gal_tpen_etat(int kind, String* name, double* x, double* y, gal_run_instance* run,
                std::list<int>* actions);
  gal_tpen_etat(const gal_tpen_etat&) = default;  // keeps the generated name
  gal_tpen_etat(gal_tpen_etat&&) = default;
  gal_tpen_etat& operator=(const gal_tpen_etat&) = default;
  gal_tpen_etat& operator=(gal_tpen_etat& o) {
    return *this = static_cast<const gal_tpen_etat&>(o);
  }
  gal_tpen_etat& operator=(gal_tpen_etat&&) = default;
  ~gal_tpen_etat() = default;

  double ma_posx() const { return ma_posx_; }
  double ma_posy() const { return ma_posy_; }
  double mon_diametre() const { return mon_diametre_; }
  void change_ma_posx(double x) { ma_posx_ = x; }
  void change_ma_posy(double y) { ma_posy_ = y; }
  void change_mon_diametre(double d) { mon_diametre_ = d; }

  String mon_nom() const { return mon_nom_; }
  String un_nom() const;  // the name, or the generated one when it is empty
  void replace_nom(const String& n) { mon_nom_ = n; }
  String convert_type() const;  // "NS", "FS" or "UNDEFS"

  std::list<int> mes_transitions_post() const { return mes_transitions_post_; }
  std::list<int> mes_transitions_pre() const { return mes_transitions_pre_; }
  void add_post_transition(int t) { mes_transitions_post_.push_back(t); }
  void add_pre_transition(int t) { mes_transitions_pre_.push_back(t); }
  void sup_post_transition(int t) { mes_transitions_post_.remove(t); }
  void sup_pre_transition(int t) { mes_transitions_pre_.remove(t); }
  void clear_pre_post_transitions();

  int mon_ident_run() const { return mon_run_.ident(); }
  String mes_renomages_param_run() const { return mon_run_.renaming(); }
  void translate_ident_run(int d);
  String renaming_signal_run_instance(const String& s) const;

  std::list<int> mes_actions() const { return mes_actions_; }
  void add_action(int a) { mes_actions_.push_back(a); }
  void add_actions_list(const std::list<int>& l);  // ordered merge
  void efface_actions() { mes_actions_.clear(); }
  bool existe_action(int a) const;
  // Writes each index examined, and its text, on stderr (a debugging trace).
  bool existe_action(String* table, const String& text) const;
  void translate_ident_actions(int d);  // keeps the order
  void replace_action(int a, int b);    // keeps the order

  // Writers, defined in writers/ (the chart argument is not used).
  void put_gal(std::ostream& os, const gal_tpen_fichier& chart) const;
  // The LE item and the drawings: `progs` and `actions` are the chart's
  // tables, into which the state's program and actions must index.
  void put_le(std::ostream& os, const gal_declaration_progs* progs, const String* actions) const;
  void put_xfig(std::ostream& os, const gal_declaration_progs* progs,
                const String* actions) const;
  void put_inkscape(std::ostream& os, const gal_declaration_progs* progs,
                    const String* actions) const;
  // The state's circle group (inner != 0: the inner circle of a final state,
  // without the name); gives the centre and radius in drawing units.
  void put_circle_etat_inkscape(std::ostream& os, int inner, double& cx, double& cy,
                                double& r) const;

 private:
  int mon_type_;
  double ma_posx_;
  double ma_posy_;
  double mon_diametre_;
  String mon_nom_;
  String mon_nom_genere_;
  std::list<int> mes_transitions_post_;
  std::list<int> mes_transitions_pre_;
  gal_run_instance mon_run_;
  std::list<int> mes_actions_;
};

// Kind, centre (to 1e-7), name, run and actions; not the diameter, the
// generated name nor the transition lists.
bool operator!=(const gal_tpen_etat& a, const gal_tpen_etat& b);
std::ostream& operator<<(std::ostream& os, const gal_tpen_etat& s);

// A transition. Its point list always holds x, y pairs, from source to target.
class gal_tpen_transition {
  friend class gal_tpen_fichier;

 public:
  gal_tpen_transition();
  gal_tpen_transition(int amont, int aval, double x, double y);
  gal_tpen_transition(int amont, int aval, int kind, const std::list<double>& points,
                      double x, double y);
  // The reader's form.
  gal_tpen_transition(int amont, int aval, int kind, std::list<double>* points, double* x,
                      double* y, int priority, String* receptivity, std::list<int>* actions);
  gal_tpen_transition(int amont, int aval, int kind, double x, double y, int priority,
                      const String& receptivity, const std::list<int>& actions);
  gal_tpen_transition(const gal_tpen_transition&) = default;
  gal_tpen_transition(gal_tpen_transition&&) = default;
  gal_tpen_transition& operator=(const gal_tpen_transition&) = default;
  gal_tpen_transition& operator=(gal_tpen_transition& o) {
    return *this = static_cast<const gal_tpen_transition&>(o);
  }
  gal_tpen_transition& operator=(gal_tpen_transition&&) = default;
  ~gal_tpen_transition() = default;

  int mon_type_trans() const { return mon_type_trans_; }
  void modif_type_trans(int k) { mon_type_trans_ = k; }
  int ma_priorite() const { return ma_priorite_; }
  void modif_priorite(int p) { ma_priorite_ = p; }
  String ma_receptivite() const { return ma_receptivite_; }
  void modif_receptivite(const String& r) { ma_receptivite_ = r; }
  double posx_receptivite() const { return posx_receptivite_; }
  double posy_receptivite() const { return posy_receptivite_; }
  void modif_coords_condition(double x, double y);

  bool est_initiale() const;  // source -1 and not a suspension
  int mon_ident_etat_amont() const { return mon_ident_etat_amont_; }
  int mon_ident_etat_aval() const { return mon_ident_etat_aval_; }
  void modif_ident_etat_amont(int i) { mon_ident_etat_amont_ = i; }
  void modif_ident_etat_aval(int i) { mon_ident_etat_aval_ = i; }
  void translate_ident_etats(int d);

  std::list<int> mes_actions() const { return mes_actions_; }
  void modif_actions(const std::list<int>& l) { mes_actions_ = l; }
  void add_actions(const std::list<int>& l);  // appends, no merge
  bool existe_action(int a) const;
  bool existe_action(String* table, const String& text) const;
  void translate_ident_actions(int d);  // keeps the order
  void replace_action(int a, int b);    // keeps the order

  std::list<double> liste_positions() const { return liste_positions_; }
  void add_point(double x, double y);  // only while fewer than two points
  void modif_coords_point(int n, double x, double y);
  void modif_coords_premier_point(double dx, double dy);
  void modif_coords_dernier_point(double dx, double dy);
  void translation_points(double dx, double dy);
  // `states` is the chart's state table; both ends must index into it.
  void aligne_points(gal_tpen_etat* states);

  double posxmax() const;
  double posymax() const;
  double posxmin() const;
  double posymin() const;

  // 1: holds a '/'; 2: unbalanced round brackets; 0: neither.
  int test_syntaxe_receptivite() const;

  // Writers, defined in writers/ (modele: the chart's model kind).
  void put_gal(std::ostream& os, int modele) const;
  // The LE item and the drawings: `states` and `actions` are the chart's
  // tables, into which the transition's ends and actions must index.
  void put_le(std::ostream& os, const gal_tpen_etat* states, const String* actions) const;
  void put_xfig(std::ostream& os, const gal_tpen_etat* states, const String* actions) const;
  void put_inkscape(std::ostream& os, const gal_tpen_etat* states, int modele,
                    const String* actions) const;
  // The arrow's points in drawing units, from border to border; written as
  // one polyline when there are two or more (f != 0: with an arrowhead).
  std::vector<std::pair<double, double>> put_fleche_normale_inkscape(
      std::ostream& os, const gal_tpen_etat* states, int f) const;
  void put_fleche_zigzag_inkscape(std::ostream& os, const gal_tpen_etat* states) const;

 private:
  int mon_type_trans_;
  int ma_priorite_;
  String ma_receptivite_;
  double posx_receptivite_;
  double posy_receptivite_;
  std::list<double> liste_positions_;
  std::list<int> mes_actions_;
  int mon_ident_etat_amont_;
  int mon_ident_etat_aval_;
};

// ---- The chart ---------------------------------------------------------------

// Tables are vectors; a count is the vector's size, except for transitions:
// table_transitions_ holds `capacity` elements (its size) of which the first
// nbr_transitions_ are in use. The table accessors return a pointer to the
// first element, null for an empty table; it stays owned by the chart and is
// invalidated by the next change of that table.
class gal_tpen_fichier {
 public:
  gal_tpen_fichier();
  // The reader's constructor.
  gal_tpen_fichier(String* nom_module, int modele, std::list<String>* types,
                   std::list<gal_declaration_variables>* inputs,
                   std::list<gal_declaration_variables>* sensors,
                   std::list<gal_declaration_variables>* outputs,
                   std::list<gal_declaration_variables>* locals,
                   std::list<gal_declaration_variables>* variables,
                   std::list<gal_declaration_progs>* runs,
                   std::list<gal_declaration_functions>* functions,
                   std::list<gal_declaration_constants>* constants,
                   std::list<gal_declaration_pres>* pres, std::list<String>* actions);
  gal_tpen_fichier(const gal_tpen_fichier&) = default;  // a deep copy
  gal_tpen_fichier& operator=(const gal_tpen_fichier&) = default;
  virtual ~gal_tpen_fichier();

  // Model kind, name and flag.
  virtual int mon_modele() const;
  virtual void def_modele(int m);
  String mon_nom_module() const { return mon_nom_module_; }
  void def_nom_module(const String& n);
  void set_encapsulation() { encapsulation_ = 1; }
  int encapsulated() const { return encapsulation_; }

  // The reader's setters (the stamp is left alone).
  void parse_etats(std::list<gal_tpen_etat>* l);
  void parse_transitions(std::list<gal_tpen_transition>* l);

  // Builders.
  void add_fin_etat(const gal_tpen_etat& s);
  void add_fin_transition(const gal_tpen_transition& t);
  void add_fin_input(const gal_declaration_variables& v);
  void add_fin_local(const gal_declaration_variables& v);
  void add_fin_output(const gal_declaration_variables& v);
  void add_fin_pre(const gal_declaration_pres& p);
  void add_fin_action(const String& a);
  void add_fin_progs_externes(const gal_declaration_progs& p);
  void add_type(const char* t);
  void add_type(const String& t);
  int ident_et_add_prog_externe(const String& name);
  void add_bootstate();
  void efface_table_inputs();
  void efface_table_locals();

  // Structure maintenance (the stamp is left alone).
  void update_simple_connexite();
  void raj_pre_post_transitions();
  void internal_raj_pre_post_transitions();
  void normalise_diametre_etats();

  // The stamp: the time of the last change.
  void change_modif_signature();

  // Queries. Index-taking getters check their index: out of range they write
  // their diagnostic on stderr and return a placeholder.
  int nbr_etats() const { return static_cast<int>(table_etats_.size()); }
  gal_tpen_etat* ma_table_etats();
  const gal_tpen_etat* ma_table_etats() const;
  String nom_etat(int i) const;
  int ident_etat(const String& n) const;
  std::list<int> liste_etats_puits() const;
  int nbr_actions(int i) const;
  std::list<int> ident_etats_pre(int i) const;
  std::list<int> ident_etats_post(int i) const;

  int nbr_transitions() const { return nbr_transitions_; }
  gal_tpen_transition* ma_table_transitions();
  const gal_tpen_transition* ma_table_transitions() const;
  String receptivite_transition(int i) const;
  std::list<int> liste_ident_transitions_par_couple_etats(int a, int b) const;

  int nombre_SC() const;
  std::list<int> SC_liste_etats(int k) const;

  int nbr_types() const { return static_cast<int>(table_types_.size()); }
  String* ma_table_types();
  const String* ma_table_types() const;

  int nbr_inputs() const { return static_cast<int>(table_inputs_.size()); }
  gal_declaration_variables* ma_table_inputs();
  const gal_declaration_variables* ma_table_inputs() const;
  String nom_input(int i) const;
  String type_input(int i) const;
  std::set<String> ens_entrees(String t) const;
  int nbr_inputs_bool() const;

  int nbr_outputs() const { return static_cast<int>(table_outputs_.size()); }
  gal_declaration_variables* ma_table_outputs();
  const gal_declaration_variables* ma_table_outputs() const;
  String nom_output(int i) const;
  String type_output(int i) const;
  int ident_output(const char* n) const;
  int ident_output(const String& n) const;

  int nbr_locals() const { return static_cast<int>(table_locals_.size()); }
  gal_declaration_variables* ma_table_locals();
  const gal_declaration_variables* ma_table_locals() const;
  String nom_local(int i) const;
  String type_local(int i) const;
  int ident_local(const char* n) const;
  int ident_local(const String& n) const;

  int nbr_constants() const { return static_cast<int>(table_constants_.size()); }
  gal_declaration_constants* ma_table_constants();
  const gal_declaration_constants* ma_table_constants() const;

  int nbr_progs_externes() const { return static_cast<int>(table_progs_externes_.size()); }
  gal_declaration_progs* ma_table_progs_externes();
  const gal_declaration_progs* ma_table_progs_externes() const;
  String nom_module_prog_externe(int i) const;
  String nom_fichier_prog_externe(int i) const;
  String chemin_prog_externe(int i) const;

  int nbr_actions() const { return static_cast<int>(table_actions_.size()); }
  String* ma_table_actions();
  const String* ma_table_actions() const;
  String action(int i) const;
  int ident_action(const String& a) const;

  // Editing, layout and the debug dump (chart/edition.cpp). A deletion closes
  // the gap and renumbers the references above the deleted index; a change
  // of states or transitions ends with every state's incoming and outgoing
  // lists and the concurrent automata rebuilt. Out-of-range indices change
  // nothing (sup_etat, sup_transition and replace_action say so on stderr).
  void sup_etat(int i);  // also every transition that starts or ends at i
  void sup_transition(int i);
  void sup_output(int k);
  void sup_action(int k);  // references to k are dropped, later ones move down
  // Only when t keeps the source and the target of transition i.
  void replace_transition(int i, const gal_tpen_transition& t);
  void replace_action(int a, int b);  // b must index the action table
  void element_neutre_transitions(const String& s);  // whole words s become "1"
  void internal_raj_actions();  // drops the actions that nothing uses
  void clear();  // keeps the model kind, module name and encapsulation flag
  void homogenise_boucles_etat(int i);  // spreads the self-loops of state i
  void put(std::ostream& os) const;

  // Checks. Each returns 1 when it found nothing and 0 when it found
  // something; a report is emptied first, then receives the findings as
  // English text. The trigger checks (chart/checks.cpp) build a BDD manager
  // of their own per call over the inputs, locals and pre names.
  int expression_valide(const String& e) const;  // 1: the trigger's syntax is valid
  int test_determinisme(String& report) const;
  // Findings on stderr; each state whose triggers leave some case uncovered
  // gets a self-loop for exactly those cases.
  int test_determinisme_avec_auto_completion();
  // chart/checks_declarations.cpp: names declared twice across the signal
  // tables, and pre declarations against their signal's type and constant.
  int test_exclusion_ES_et_coherence_type_definition_pre(String& report) const;
  // reader/check_progs.cpp, since it reads each external program's chart
  // file: the ports declared for it against those its chart declares.
  // Callers link tessan_reader.
  int test_external_progs_io(String& report) const;

 private:
  void remove_actions(const std::vector<char>& removed);
  void drop_state_from_automata(int i);

 public:
  // Writers, defined in writers/: the chart text (.gal), to a file whole or
  // not at all, the file the chart was read from as any other, in a text that
  // reads back into the same chart. 1 when written; 0 without a file for an
  // undefined model; 0, with one line on stderr naming the element and the
  // old file left as it was, when the file cannot be written or the chart
  // holds what no chart text holds:
  // - a double quote in a state's name, in the renaming of a state that runs
  //   a program, in a trigger, an action, a constant's value, or a program's
  //   path or file name (texts are quoted, with no escape);
  // - in place of a name (ASCII letters, digits and "_", not digits alone):
  //   the module name given, an entry of the types, the name of an input,
  //   sensor, output, local, variable or program port, a program's module
  //   name, a function's result type, name and argument types, a constant's
  //   type and name, a pre's name and signal;
  // - a type of a signal, variable or port that is neither a name nor empty,
  //   a pre's initial value that is neither a name nor "---";
  // - a program whose file name is no name and that has input or output
  //   ports, or whose file name holds a "/";
  // - a state whose kind is neither normal_star nor final_star;
  // - a coordinate that is inf or nan.
  // Only this overload refuses: the stream one writes whatever the chart
  // holds ...
  int put_gal(const String& file, const String& module) const;
  void put_gal(std::ostream& os, const String& module) const;
  // ... and the Esterel v5 module.
  // 1 when the module was written; 0 (with the reasons on stderr) when the
  // chart holds an index outside its table or something Esterel has no form
  // for, or the file cannot be written, in which case the file is left as it
  // was.
  int put_strl5(const String& file, const String& module) const;
  void put_strl5_handling_star(std::ostream& os, int etat, int k) const;
  std::list<int> sort_transitions_list(const std::list<int>& l) const;
  // ... the LE module, the xfig 3.2 drawing and the SVG drawing (`name` is
  // not used). Each writes its file whole or not at all, as put_strl5 does:
  // 1 when written, 0 with the reason on stderr.
  int put_le(const String& file, const String& module) const;
  int put_xfig(const String& file, const String& name) const;
  int put_inkscape(const String& file, const String& name) const;
  // Extents for the SVG page and the frames of the concurrent automata, in
  // model units; the SC_ lists hold one entry per automaton.
  double largueur_max() const;
  double hauteur_max() const;
  std::list<double> SC_xmin() const;
  std::list<double> SC_xmax() const;
  std::list<double> SC_ymin() const;
  std::list<double> SC_ymax() const;

 protected:
  int mon_modele_;
  String mon_nom_module_;
  int encapsulation_;
  std::int32_t signature_modif_;

  std::vector<gal_tpen_etat> table_etats_;
  int nbr_transitions_;
  std::vector<gal_tpen_transition> table_transitions_;  // size() is the capacity

  std::vector<String> table_types_;
  std::vector<gal_declaration_variables> table_inputs_;
  std::vector<gal_declaration_variables> table_outputs_;
  std::vector<String> table_actions_;
  std::vector<gal_declaration_variables> table_locals_;
  std::vector<gal_declaration_variables> table_variables_;
  std::vector<gal_declaration_variables> table_sensors_;
  std::vector<gal_declaration_progs> table_progs_externes_;
  std::vector<gal_declaration_functions> table_functions_;
  std::vector<gal_declaration_constants> table_constants_;
  std::vector<gal_declaration_pres> table_pres_;

 private:
  // The concurrent automata. add_fin_transition only marks them out of date
  // (recomputing on every append would make building a chart quadratic); the
  // queries catch up first, with the result an immediate recomputation would
  // have given. Read them through nombre_SC() and SC_liste_etats(); an
  // operation that rewrites states or transitions in place ends with
  // update_simple_connexite(), as every edit does.
  mutable std::vector<std::list<int>> composantes_;
  mutable bool composantes_en_retard_;
  mutable int plus_grand_bout_;  // largest transition end appended while late

  void rattrape_composantes() const;
  void calcule_composantes() const;
};

#endif
