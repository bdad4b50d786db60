#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct AppContext;
struct EntityParameter;
struct EntityParseRecord;
struct ParameterValue;
struct EntityRecord;

// Pushing edited parameter values back into a script: the values become
// "// parameters" statements in front of the script's directives,
// functions and operations, and only the entity (or the sub-elements) whose
// values changed is assembled again, without a new parse.

// Pushes the entity's changed parameters (from_pane: the entity is the
// parameter pane's selected one). An edit counts as pushed only once its
// re-assembly produced a mesh; a push that yields no mesh keeps the old
// mesh, reports the assembly error and is tried again by the next push.
void push_entity_parameters(AppContext& app, EntityRecord* entity, bool from_pane);
// The parameter pane's selected entity, if any.
void push_selected_entity_parameters(AppContext& app);
// The parameter pane's push action on the published context.
void push_parameters_action();

// Confirm actions of the two reset panes: back to the default values, then
// a push unless the entity is in multi-edit mode.
void reset_selected_parameter(AppContext& app);
void reset_all_parameters(AppContext& app);
void reset_selected_parameter();
void reset_all_parameters();

// "INT n = 5;", "DBL d = 0.123457;", "BLN b = true;", "CHR c = 'x';",
// "STR s = \"text\";" ("" for a type without a value, and for a text or
// character that would not stay one value on the statement's line: a line
// break, or in a text a double quote followed by ';').
std::string format_parameter_statement(const EntityParameter& parameter);
// Whether the panes may give a parameter this value: a STR without a double
// quote, a backslash or a line break, a CHR that is neither quote, nor a
// backslash, nor a control character. Values of other types always may.
bool stageable_parameter_value(const ParameterValue& value);
// Slider position of the current value between the bounds: -1.0 without
// both bounds or for a type without a range, 0.0 for equal bounds.
double parameter_normalised_value(const EntityParameter& parameter);
// True when the current value differs from the last pushed one (a NaN
// always differs).
bool parameter_changed(const EntityParameter& parameter);

// Parameters as the panes list them: the merged list of a parallel entity,
// else the entity's own.
std::vector<EntityParameter*> listed_parameters(EntityRecord& entity);
// "// parameters\n", one statement per parameter, "// logic\n" (when asked),
// then DIRECTIVES, FUNCTIONS and OPERATIONS, each followed by "\n".
std::string compose_pushed_script(const std::vector<const EntityParameter*>& parameters,
                                  const EntityParseRecord& parse, bool logic_line);
