#include "findstr_match.h"

#include <array>

#include "text.h"

namespace kvx::bench {

namespace {

struct Item {
  enum Kind { kSet, kWordStart, kWordEnd } kind = kSet;
  std::array<bool, 256> accepts{};  // for kSet
  bool repeated = false;            // followed by "*"
};

struct Expression {
  bool fromStart = false;  // "^"
  bool toEnd = false;      // "$"
  std::vector<Item> items;
};

Expression Compile(const std::string& text) {
  Expression expression;
  size_t i = 0;
  size_t end = text.size();
  if (i < end && text[i] == '^') {
    expression.fromStart = true;
    ++i;
  }
  if (end > i && text[end - 1] == '$' && (end < 2 || text[end - 2] != '\\')) {
    expression.toEnd = true;
    --end;
  }
  while (i < end) {
    Item item;
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '.') {
      item.accepts.fill(true);
      ++i;
    } else if (c == '[') {
      size_t j = i + 1;
      bool negate = j < end && text[j] == '^';
      if (negate)
        ++j;
      std::array<bool, 256> set{};
      while (j < end && text[j] != ']') {
        unsigned char from = static_cast<unsigned char>(text[j]);
        if (j + 2 < end && text[j + 1] == '-' && text[j + 2] != ']') {
          unsigned char to = static_cast<unsigned char>(text[j + 2]);
          for (unsigned k = from; k <= to; ++k)
            set[k] = true;
          j += 3;
        } else {
          set[from] = true;
          ++j;
        }
      }
      for (size_t k = 0; k < 256; ++k)
        item.accepts[k] = set[k] != negate;
      i = j < end ? j + 1 : end;
    } else if (c == '\\' && i + 1 < end) {
      char next = text[i + 1];
      if (next == '<' || next == '>') {
        item.kind = next == '<' ? Item::kWordStart : Item::kWordEnd;
      } else {
        item.accepts[static_cast<unsigned char>(next)] = true;
      }
      i += 2;
    } else {
      item.accepts[c] = true;
      ++i;
    }
    if (i < end && text[i] == '*' && item.kind == Item::kSet) {
      item.repeated = true;
      ++i;
    }
    expression.items.push_back(item);
  }
  return expression;
}

bool IsWordByte(const std::string& line, size_t at) {
  if (at >= line.size())
    return false;
  unsigned char c = static_cast<unsigned char>(line[at]);
  return c >= 0x80 || c == '_' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') ||
         (c >= 'A' && c <= 'Z');
}

bool MatchHere(const Expression& e, size_t item, const std::string& line, size_t at, bool toEnd) {
  if (item == e.items.size()) {
    return !toEnd || at == line.size();
  }
  const Item& current = e.items[item];
  if (current.kind == Item::kWordStart || current.kind == Item::kWordEnd) {
    bool before = at > 0 && IsWordByte(line, at - 1);
    bool after = IsWordByte(line, at);
    bool ok = current.kind == Item::kWordStart ? (!before && after) : (before && !after);
    return ok && MatchHere(e, item + 1, line, at, toEnd);
  }
  if (current.repeated) {
    size_t stop = at;
    while (stop < line.size() && current.accepts[static_cast<unsigned char>(line[stop])])
      ++stop;
    for (size_t k = stop + 1; k-- > at;) {
      if (MatchHere(e, item + 1, line, k, toEnd))
        return true;
    }
    return false;
  }
  return at < line.size() && current.accepts[static_cast<unsigned char>(line[at])] &&
         MatchHere(e, item + 1, line, at + 1, toEnd);
}

}  // namespace

bool PatternMatches(const Pattern& pattern, const std::string& line, const SearchOptions& options) {
  const std::string text = options.ignoreCase ? FoldCase(pattern.text) : pattern.text;
  const std::string subject = options.ignoreCase ? FoldCase(line) : line;
  if (!pattern.regex) {
    if (options.atStart && options.atEnd)
      return subject == text;
    if (options.atStart)
      return subject.compare(0, text.size(), text) == 0;
    if (options.atEnd) {
      return subject.size() >= text.size() &&
             subject.compare(subject.size() - text.size(), text.size(), text) == 0;
    }
    return FindText(subject, text, false) != std::string::npos;
  }
  Expression expression = Compile(text);
  const bool fromStart = expression.fromStart || options.atStart;
  const bool toEnd = expression.toEnd || options.atEnd;
  for (size_t start = 0; start <= subject.size(); ++start) {
    if (MatchHere(expression, 0, subject, start, toEnd))
      return true;
    if (fromStart)
      break;
  }
  return false;
}

bool LineSelected(const std::string& line, const std::vector<Pattern>& patterns,
                  const SearchOptions& options) {
  bool any = false;
  for (const Pattern& pattern : patterns) {
    if (PatternMatches(pattern, line, options)) {
      any = true;
      break;
    }
  }
  return any != options.invert;
}

}  // namespace kvx::bench
