#pragma once
#include <string>

#include "model/entity.h"
#include "model/parse_record.h"

// "Pure-Union Mesh", "Basic-CSG Mesh", "Optimal-CSG Mesh", by MeshAlgorithm.
extern const char* const mesh_kind_names[3];

// Texts that describe an assembled entity, composed after each assembly and
// kept in its record for the entity list, the parameter pane and the
// inspector.

// The script body staged for a serial assembly: the DIRECTIVES, PARAMETERS,
// FUNCTIONS and OPERATIONS texts of the parse joined by "\n" (three line
// feeds, none after the last section).
std::string join_statement_sections(const EntityParseRecord& record);

// Three summary lines (file name; counts and time; sizes and directory) and
// the pixel width of the widest, measured with the pane typeface.
void set_entity_summary_values(EntityRecord& entity);

// The inspector's information lines: 27 for a single entity, 31 + n for a
// parallel entity with n sub-elements.
void format_entity_information(EntityRecord& entity);

// The heading column laid over the information lines; depends only on the
// kind of entity and its number of sub-elements.
void set_entity_information_headings(EntityRecord& entity);
