/* Grammar of the .gal chart text: the current header, the three older header
 * forms, and the body of states and transitions or the encapsulation mark.
 *
 * Every value on the stack is a fresh object of an action; the rule that
 * consumes it takes it over (lists are built by appending and freeing the
 * item), and bison's %destructor frees whatever a failed read leaves on the
 * stack. The chart itself lives in the read's context (pgal_parser->chart)
 * from the end of the header on; parse() drops it after a failure.
 *
 * Actions that need a token's text read the scanner's current text. That is
 * sound only because each such rule is reduced in a state whose one action is
 * that reduction, i.e. right after its token was shifted and before the next
 * one is read. A change of the grammar that breaks this must pass the text
 * through the value stack instead.
 */

%define api.prefix {gal}
%define api.pure full
%define parse.error verbose
%expect 0

%code requires {
#include <list>
#include <utility>
#include "chart/gal_norm.h"
#include "text/Stringpp.h"
}

%code {
#include <iostream>
#include "reader/gal_actions.h"
#include "reader/parse_gal.h"

using namespace gal_actions;

int gallex(GALSTYPE* value);
}

%union {
  String* str;
  int num;
  double* dbl;
  std::list<String>* strlist;
  gal_declaration_variables* var;
  std::list<gal_declaration_variables>* varlist;
  gal_declaration_progs* prog;
  std::list<gal_declaration_progs>* proglist;
  gal_declaration_functions* func;
  std::list<gal_declaration_functions>* funclist;
  gal_declaration_constants* cst;
  std::list<gal_declaration_constants>* cstlist;
  std::pair<int, String>* assign;
  std::list<std::pair<int, String>>* assignlist;
  gal_declaration_pres* pre;
  std::list<gal_declaration_pres>* prelist;
  gal_run_instance* run;
  gal_tpen_etat* etat;
  std::list<gal_tpen_etat>* etatlist;
  std::list<int>* intlist;
  gal_tpen_transition* trans;
  std::list<gal_tpen_transition>* translist;
  std::list<double>* dbllist;
}

%destructor { delete $$; } <str> <dbl> <strlist> <var> <varlist> <prog> <proglist>
%destructor { delete $$; } <func> <funclist> <cst> <cstlist> <assign> <assignlist>
%destructor { delete $$; } <pre> <prelist> <run> <etat> <etatlist> <intlist>
%destructor { delete $$; } <trans> <translist> <dbllist>

/* The names are the ones the syntax error messages show. */
%token YYEOF 0 "$end"
%token BASIC_MODEL_TOKEN 258
%token PAR_AUTOMATA_MODEL_TOKEN 259
%token LIGHT_ESTEREL_MODEL_TOKEN 260
%token SYNCCHARTS_MODEL_TOKEN 261
%token LE_VHDL_ASSIGN_TOKEN 262
%token LE_C_ASSIGN_TOKEN 263
%token LE_NUSMV_ASSIGN_TOKEN 264
%token LE_LUSTRE_ASSIGN_TOKEN 265
%token LE_ESTEREL_ASSIGN_TOKEN 266
%token N_S_TOKEN 267
%token F_S_TOKEN 268
%token DEUX_POINTS_TOKEN 269
%token VIRGULE_TOKEN 270
%token POINT_VIRGULE_TOKEN 271
%token NAME_TOKEN 272
%token TYPE_TOKEN 273
%token INPUT_TOKEN 274
%token SENSOR_TOKEN 275
%token OUTPUT_TOKEN 276
%token LOCAL_TOKEN 277
%token PRE_TOKEN 278
%token UNDEF_TOKEN 279
%token VARIABLE_TOKEN 280
%token RUN_TOKEN 281
%token FUNCTION_TOKEN 282
%token CONSTANT_TOKEN 283
%token ACTION_TOKEN 284
%token STAR_TOKEN 285
%token TRANSITION_TOKEN 286
%token ENCAPSULATION_TOKEN 287
%token TO_TOKEN 288
%token FROM_TOKEN 289
%token BY_TOKEN 290
%token SLASH_TOKEN 291
%token PAR_OUVRANTE_TOKEN 292
%token PAR_FERMANTE_TOKEN 293
%token NUMBER_TOKEN 294
%token DNUMBER_TOKEN 295
%token WORD_TOKEN 296
%token STRING_TOKEN 297

%type <str> mot nom_module identword typeinoutput chaine nom_etat chaine_condition_recep
%type <num> modele type_etat ident action_associe
%type <dbl> coord xpos_etat ypos_etat
%type <strlist> liste_types liste_mots liste_actions def_types def_actions
%type <var> inoutput
%type <varlist> liste_inoutput def_inputs def_sensors def_outputs def_locals def_variables
%type <prog> run_entite
%type <proglist> liste_runs def_runs
%type <func> function_entite
%type <funclist> liste_functions def_functions
%type <cst> constant_entite
%type <cstlist> liste_constants def_constants
%type <assign> s_assign
%type <assignlist> assign_value_list
%type <pre> pre_entite
%type <prelist> liste_pres def_pres
%type <run> instance_run
%type <etat> star
%type <etatlist> liste_stars
%type <intlist> l_actions_associes
%type <trans> transition
%type <translist> liste_transitions
%type <dbllist> liste_points

%start synccharts

%%

synccharts
  : entete corps
      { rule(1, 1, "synccharts cree"); finish_chart(); }
  ;

entete
  : NAME_TOKEN nom_module DEUX_POINTS_TOKEN modele POINT_VIRGULE_TOKEN
    def_types def_inputs def_sensors def_outputs def_locals def_variables
    def_runs def_functions def_constants def_pres def_actions
      { rule(2, 1, "entete et table bdd cree");
        build_chart($2, $4, $6, $7, $8, $9, $10, $11, $12, $13, $14, $15, $16); }
  | NAME_TOKEN nom_module DEUX_POINTS_TOKEN modele POINT_VIRGULE_TOKEN
    def_types def_inputs def_sensors def_outputs def_locals def_variables
    def_runs def_functions def_constants def_actions
      { rule(2, 2, "entete et table bdd cree version anterieur a 3.6.0");
        build_chart($2, $4, $6, $7, $8, $9, $10, $11, $12, $13, $14, nullptr, $15); }
  | NAME_TOKEN nom_module DEUX_POINTS_TOKEN modele POINT_VIRGULE_TOKEN
    def_types def_inputs def_sensors def_outputs def_locals def_variables
    def_runs def_functions def_constants
      { rule(2, 3, "entete et table bdd cree syntaxe anterieure a 1.3.0");
        std::cerr << "Construction de la table des actions a partir de celle des outputs..." << std::endl;
        std::list<String>* actions = names_of($9);
        build_chart($2, $4, $6, $7, $8, $9, $10, $11, $12, $13, $14, nullptr, actions); }
  | NAME_TOKEN nom_module DEUX_POINTS_TOKEN modele POINT_VIRGULE_TOKEN
    def_inputs def_outputs def_locals def_runs
      { rule(2, 4, "entete et table bdd cree syntaxe V0");
        build_chart($2, $4, nullptr, $6, nullptr, $7, $8, nullptr, $9,
                    nullptr, nullptr, nullptr, nullptr); }
  ;

nom_module
  : mot
  ;

modele
  : NUMBER_TOKEN            { rule_text(3, 1); $$ = model_of_number(token_int()); }
  | BASIC_MODEL_TOKEN       { rule_text(3, 2); $$ = 0; }
  | PAR_AUTOMATA_MODEL_TOKEN  { rule_text(3, 3); $$ = 1; }
  | LIGHT_ESTEREL_MODEL_TOKEN { rule_text(3, 4); $$ = 2; }
  | SYNCCHARTS_MODEL_TOKEN  { rule_text(3, 5); $$ = 3; }
  ;

def_types
  : TYPE_TOKEN liste_types POINT_VIRGULE_TOKEN
      { rule(4, 1, "definition de la liste des types"); $$ = $2; }
  ;

def_inputs
  : INPUT_TOKEN liste_inoutput POINT_VIRGULE_TOKEN
      { rule(5, 1, "definition de la liste des inputs"); $$ = $2; }
  ;

liste_inoutput
  : %empty          { rule(6, 1, "liste inoutput vide"); $$ = empty_list<gal_declaration_variables>(); }
  | inoutput        { rule(6, 2, "liste inoutput a un element"); $$ = list_of($1); }
  | liste_inoutput VIRGULE_TOKEN inoutput
                    { rule(6, 3, "ajoute inoutput liste"); $$ = append($1, $3); }
  ;

inoutput
  : identword DEUX_POINTS_TOKEN typeinoutput
      { rule(7, 1, "input/output bool");
        $$ = new gal_declaration_variables($3, $1); delete $3; delete $1; }
  ;

liste_types
  : %empty          { rule(8, 1, "liste types vide"); $$ = empty_list<String>(); }
  | mot             { rule(8, 2, "liste types a un element"); $$ = list_of($1); }
  | liste_types VIRGULE_TOKEN mot
                    { rule(8, 3, "ajoute type liste"); $$ = append($1, $3); }
  ;

identword
  : mot
  ;

typeinoutput
  : mot
  | %empty          { $$ = new String; }
  ;

mot
  : WORD_TOKEN      { rule_text(9, 1); $$ = new String(token_text()); }
  ;

def_sensors
  : SENSOR_TOKEN liste_inoutput POINT_VIRGULE_TOKEN
      { rule(10, 1, "definition de la liste des sensors"); $$ = $2; }
  ;

def_outputs
  : OUTPUT_TOKEN liste_inoutput POINT_VIRGULE_TOKEN
      { rule(11, 1, "definition de la liste des outputs"); $$ = $2; }
  ;

def_locals
  : LOCAL_TOKEN liste_inoutput POINT_VIRGULE_TOKEN
      { rule(12, 1, "definition de la liste des locals"); $$ = $2; }
  ;

def_variables
  : VARIABLE_TOKEN liste_inoutput POINT_VIRGULE_TOKEN
      { rule(13, 1, "definition de la liste des variables"); $$ = $2; }
  ;

def_runs
  : RUN_TOKEN liste_runs POINT_VIRGULE_TOKEN
      { rule(14, 1, "definition de la liste des runs"); $$ = $2; }
  ;

liste_runs
  : %empty          { rule(15, 1, "liste run vide"); $$ = empty_list<gal_declaration_progs>(); }
  | run_entite      { rule(15, 2, "liste run a un element"); $$ = list_of($1); trace_raw("REGLE FINIE\n"); }
  | liste_runs VIRGULE_TOKEN run_entite
                    { rule(15, 3, "ajoute run liste"); $$ = append($1, $3); }
  ;

run_entite
  : chaine DEUX_POINTS_TOKEN mot
      { rule(16, 1, "creation d'un run (syntaxe desuette)"); $$ = program_by_path($1, $3); }
  | chaine DEUX_POINTS_TOKEN mot DEUX_POINTS_TOKEN mot
      { rule(16, 2, "creation d'un run (syntaxe desuette)");
        $$ = program($1, $3, $5, nullptr, nullptr, nullptr); }
  | chaine DEUX_POINTS_TOKEN mot DEUX_POINTS_TOKEN mot DEUX_POINTS_TOKEN def_inputs def_sensors def_outputs
      { rule(16, 3, "creation d'un run"); $$ = program($1, $3, $5, $7, $8, $9); }
  ;

def_functions
  : FUNCTION_TOKEN liste_functions POINT_VIRGULE_TOKEN
      { rule(17, 1, "definition de la liste des fonctions"); $$ = $2; }
  ;

liste_functions
  : %empty          { rule(18, 1, "liste fonction vide"); $$ = empty_list<gal_declaration_functions>(); }
  | function_entite { rule(18, 2, "liste fonction a un element"); $$ = list_of($1); }
  | liste_functions VIRGULE_TOKEN function_entite
                    { rule(18, 3, "ajoute fonction liste"); $$ = append($1, $3); }
  ;

function_entite
  : mot mot PAR_OUVRANTE_TOKEN liste_mots PAR_FERMANTE_TOKEN
      { rule(19, 1, "creation d'une fonction");
        $$ = new gal_declaration_functions($1, $2, $4); delete $1; delete $2; delete $4; }
  ;

def_constants
  : CONSTANT_TOKEN liste_constants POINT_VIRGULE_TOKEN
      { rule(20, 1, "definition de la liste des constantes"); $$ = $2; }
  ;

liste_constants
  : %empty          { rule(21, 1, "liste constante vide"); $$ = empty_list<gal_declaration_constants>(); }
  | constant_entite { rule(21, 2, "liste constante a un element"); $$ = list_of($1); }
  | liste_constants VIRGULE_TOKEN constant_entite
                    { rule(21, 3, "ajoute constante liste"); $$ = append($1, $3); }
  ;

constant_entite
  : mot mot assign_value_list
      { rule(22, 1, "creation d'une constante");
        $$ = new gal_declaration_constants($1, $2, $3); delete $1; delete $2; delete $3; }
  ;

assign_value_list
  : %empty          { rule(23, 1, "liste d'assignation vide"); $$ = empty_list<std::pair<int, String>>(); }
  | assign_value_list s_assign
                    { rule(23, 2, "ajout assignation liste"); $$ = append($1, $2); }
  ;

s_assign
  : chaine          { rule(24, 1, "construction assignation"); $$ = assignment(0, $1); }
  | LE_VHDL_ASSIGN_TOKEN chaine
                    { rule(24, 2, "construction assignation VHDL"); $$ = assignment(2, $2); }
  | LE_C_ASSIGN_TOKEN chaine
                    { rule(24, 3, "construction assignation C"); $$ = assignment(1, $2); }
  | LE_NUSMV_ASSIGN_TOKEN chaine
                    { rule(24, 4, "construction assignation NUSMV"); $$ = assignment(3, $2); }
  | LE_LUSTRE_ASSIGN_TOKEN chaine
                    { rule(24, 5, "construction assignation LUSTRE"); $$ = assignment(4, $2); }
  | LE_ESTEREL_ASSIGN_TOKEN chaine
                    { rule(24, 6, "construction assignation ESTEREL"); $$ = assignment(5, $2); }
  ;

def_pres
  : PRE_TOKEN liste_pres POINT_VIRGULE_TOKEN
      { rule(25, 1, "definition de la liste des pres"); $$ = $2; }
  ;

liste_pres
  : %empty          { rule(26, 1, "liste pres vide"); $$ = empty_list<gal_declaration_pres>(); }
  | pre_entite      { rule(26, 2, "liste pres a un element"); $$ = list_of($1); }
  | liste_pres VIRGULE_TOKEN pre_entite
                    { rule(26, 3, "ajoute pre liste"); $$ = append($1, $3); }
  ;

pre_entite
  : mot mot mot
      { rule(27, 1, "creation d'un pre");
        $$ = new gal_declaration_pres($1, $2, $3); delete $1; delete $2; delete $3; }
  | mot mot UNDEF_TOKEN
      { rule(27, 2, "creation d'un pre");
        $$ = new gal_declaration_pres($1, $2); delete $1; delete $2; }
  ;

def_actions
  : ACTION_TOKEN liste_actions POINT_VIRGULE_TOKEN
      { rule(28, 1, "definition de la liste des actions"); $$ = $2; }
  ;

liste_actions
  : %empty          { rule(29, 1, "liste action vide"); $$ = empty_list<String>(); }
  | chaine          { rule(29, 2, "liste action a un element"); $$ = list_of($1); }
  | liste_actions VIRGULE_TOKEN chaine
                    { rule(29, 3, "ajoute action liste"); $$ = append($1, $3); }
  ;

liste_mots
  : %empty          { rule(30, 1, "liste mots vide"); $$ = empty_list<String>(); }
  | mot             { rule(30, 2, "liste mots a un element"); $$ = list_of($1); }
  | liste_mots VIRGULE_TOKEN mot
                    { rule(30, 3, "ajoute mot liste"); $$ = append($1, $3); }
  ;

chaine
  : STRING_TOKEN    { rule_text(31, 1); $$ = new String(token_unquoted()); }
  ;

corps
  : def_stars def_transitions
                    { rule(32, 1, "corps cree"); }
  | flag_encapsulation
                    { rule(32, 2, "mode encapsulation"); }
  ;

def_stars
  : STAR_TOKEN liste_stars POINT_VIRGULE_TOKEN
      { rule(33, 1, "definition table etat"); hand_states($2); }
  ;

liste_stars
  : %empty          { rule(34, 1, "generation liste vide"); $$ = empty_list<gal_tpen_etat>(); }
  | star            { rule(34, 2, "generation liste a un etat"); $$ = list_of($1); }
  | liste_stars VIRGULE_TOKEN star
                    { rule(34, 3, "ajoute etat liste"); $$ = append($1, $3); }
  ;

star
  : type_etat nom_etat xpos_etat ypos_etat DEUX_POINTS_TOKEN instance_run DEUX_POINTS_TOKEN l_actions_associes
      { rule(35, 1, "genere etat");
        $$ = new gal_tpen_etat($1, $2, $3, $4, $6, $8);
        delete $2; delete $3; delete $4; delete $6; delete $8; }
  | type_etat nom_etat xpos_etat ypos_etat
      { rule(35, 2, "genere etat");
        gal_run_instance nothing(-1, "");
        $$ = new gal_tpen_etat($1, $2, $3, $4, &nothing, nullptr);
        delete $2; delete $3; delete $4; }
  ;

xpos_etat
  : coord           { rule_text(36, 1); $$ = $1; }
  ;

ypos_etat
  : coord           { rule_text(37, 1); $$ = $1; }
  ;

type_etat
  : N_S_TOKEN       { rule(38, 1, "etat de type Normal Star"); $$ = 1; }
  | F_S_TOKEN       { rule(38, 2, "etat de type Final Star"); $$ = 2; }
  ;

nom_etat
  : chaine          { rule(39, 1, "nom etat detecte"); $$ = $1; }
  ;

instance_run
  : ident           { rule(40, 1, "ident run"); $$ = new gal_run_instance($1, ""); }
  | ident chaine    { rule(40, 2, "ident run avec renommage");
                      $$ = new gal_run_instance($1, *$2); delete $2; }
  ;

l_actions_associes
  : %empty          { rule(41, 1, "generation liste vide d'actions associee"); $$ = empty_list<int>(); }
  | l_actions_associes action_associe
                    { rule(41, 2, "ajoute action liste (actions associees)"); $$ = $1; $$->push_back($2); }
  ;

action_associe
  : ident           { rule(42, 1, "reconnaissance action associee"); $$ = $1; }
  ;

def_transitions
  : TRANSITION_TOKEN liste_transitions POINT_VIRGULE_TOKEN
      { rule(43, 1, "definition table transition"); hand_transitions($2); }
  ;

liste_transitions
  : %empty          { rule(44, 1, "generation liste de transition vide"); $$ = empty_list<gal_tpen_transition>(); }
  | transition      { rule(44, 2, "ajoute transition liste"); $$ = list_of($1); }
  | liste_transitions VIRGULE_TOKEN transition
                    { rule(44, 3, "ajoute transition liste"); $$ = append($1, $3); }
  ;

transition
  : FROM_TOKEN ident TO_TOKEN ident TYPE_TOKEN ident BY_TOKEN liste_points DEUX_POINTS_TOKEN
    coord coord ident chaine_condition_recep SLASH_TOKEN l_actions_associes
      { rule(45, 1, "genere transition avec receptivite");
        $$ = make_transition($2, $4, $6, $8, $10, $11, $12, $13, $15); }
  | FROM_TOKEN ident TO_TOKEN ident BY_TOKEN liste_points DEUX_POINTS_TOKEN
    coord coord ident chaine_condition_recep SLASH_TOKEN l_actions_associes
      { rule(45, 2, "genere transition avec receptivite");
        $$ = make_transition($2, $4, 0, $6, $8, $9, $10, $11, $13); }
  | FROM_TOKEN ident TO_TOKEN ident TYPE_TOKEN ident BY_TOKEN liste_points DEUX_POINTS_TOKEN
    coord coord chaine_condition_recep SLASH_TOKEN l_actions_associes
      { rule(45, 3, "genere transition avec receptivite (compatibilite)");
        $$ = make_transition($2, $4, $6, $8, $10, $11, 0, $12, $14); }
  | FROM_TOKEN ident TO_TOKEN ident BY_TOKEN liste_points DEUX_POINTS_TOKEN
    coord coord chaine_condition_recep SLASH_TOKEN l_actions_associes
      { rule(45, 4, "genere transition avec receptivite (compatibilite)");
        $$ = make_transition($2, $4, 0, $6, $8, $9, 0, $10, $12); }
  ;

ident
  : NUMBER_TOKEN    { rule_text(46, 1); $$ = token_int(); }
  ;

chaine_condition_recep
  : STRING_TOKEN    { rule_text(47, 1); $$ = new String(token_unquoted()); }
  ;

liste_points
  : %empty          { rule(48, 1, "liste vide"); $$ = empty_list<double>(); }
  | liste_points coord VIRGULE_TOKEN coord
                    { rule(48, 2, "ajout point liste points");
                      $$ = $1; $$->push_back(*$2); $$->push_back(*$4); delete $2; delete $4; }
  ;

coord
  : NUMBER_TOKEN    { rule_text(49, 1); $$ = new double(token_int()); }
  | DNUMBER_TOKEN   { rule_text(49, 2); $$ = new double(token_decimal()); }
  ;

flag_encapsulation
  : ENCAPSULATION_TOKEN POINT_VIRGULE_TOKEN
      { rule(50, 1, "mode encapsulation"); mark_encapsulated(); }
  ;

%%
