// Checks that a line of a text file carries each reading whole: the line is
// walked piece by piece, fixed texts must match exactly and every reading
// must appear with all of its characters (a control character may have
// become a blank, so that the line stays one line).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"

namespace calorix::fuzz {

struct Piece {
  enum Kind {
    kFixed,    // this exact text
    kAsRead,   // the reading as read
    kPadded,   // the reading, then blanks up to `width`; never cut
    kTrimmed,  // the reading without blanks at either end
    kRest,     // the reading as read, and the line ends after it
  } kind;
  std::string text;
  std::size_t width = 0;
};

namespace detail {

inline bool Walk(std::string_view line, const std::vector<Piece>& pieces, std::size_t index) {
  if (index == pieces.size()) return line.empty();
  const Piece& piece = pieces[index];
  switch (piece.kind) {
    case Piece::kFixed:
      return line.starts_with(piece.text) && Walk(line.substr(piece.text.size()), pieces, index + 1);
    case Piece::kAsRead:
      return line.size() >= piece.text.size() &&
             SameReading(line.substr(0, piece.text.size()), piece.text) &&
             Walk(line.substr(piece.text.size()), pieces, index + 1);
    case Piece::kPadded: {
      const std::size_t n = piece.text.size();
      if (line.size() < n || !SameReading(line.substr(0, n), piece.text)) return false;
      std::size_t used = n;
      for (; used < piece.width; ++used)
        if (used >= line.size() || line[used] != ' ') return false;
      return Walk(line.substr(used), pieces, index + 1);
    }
    case Piece::kTrimmed: {
      // Blanks are trimmed either before or after control characters have
      // become blanks; both keep every other character of the reading.
      const std::string blanked = WithControlsBlanked(piece.text);
      for (const std::string_view candidate :
           {TrimBlanksView(piece.text), TrimBlanksView(blanked)}) {
        if (line.size() < candidate.size()) continue;
        if (SameReading(line.substr(0, candidate.size()), candidate) &&
            Walk(line.substr(candidate.size()), pieces, index + 1))
          return true;
      }
      return false;
    }
    case Piece::kRest:
      return SameReading(line, piece.text) && index + 1 == pieces.size();
  }
  return false;
}

}  // namespace detail

inline bool CarriesEveryReading(std::string_view line, const std::vector<Piece>& pieces) {
  return detail::Walk(line, pieces, 0);
}

inline std::string Describe(const std::vector<Piece>& pieces) {
  std::string out;
  for (const Piece& piece : pieces) {
    static const char* const kKinds[] = {"fixed", "as read", "padded", "trimmed", "rest"};
    out += "\n    ";
    out += kKinds[piece.kind];
    out += " \"" + Shown(piece.text) + "\"";
  }
  return out;
}

}  // namespace calorix::fuzz
