// How the reading says no. Every reader of a cell, a row or a text gives a
// Refusal: empty when it read what it was given, else why it could not, in
// words for the filer. Plans say "none" with std::optional.
#pragma once

#include <optional>
#include <string>

using Refusal = std::optional<std::string>;
