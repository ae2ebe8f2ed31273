#pragma once

#include <vector>

#include "NetlistStatements.h"

// What each kind of element line holds, by its first letter: how many fields it needs at least,
// which of its fields are nodes, and which may name a model or a subcircuit. U lines are left
// alone: the simulator reads them either as RC lines or, converted, as digital primitives.

// The fields an element needs after its name; 0 when its letter asks for none Kivra checks.
int MinimumFields(char letter);
// The tokens of an X line that name its subcircuit (the last before "params:" or the first
// assignment) and its nodes (those before it). -1 and nothing when the line has too few tokens.
int SubcircuitNameToken(const NetlistStatement& element);
// The tokens that may name the element's model, in order; the model is the one defined. The
// indexes go into a vector the caller keeps, so that millions of lines allocate nothing.
void ModelCandidateTokens(const NetlistStatement& element, std::vector<int>& indexes);
// The tokens that are surely nodes of the element, into indexes.
void NodeTokens(const NetlistStatement& element, std::vector<int>& indexes);
// The element's letter, lower-cased.
char ElementLetter(const NetlistStatement& element);
