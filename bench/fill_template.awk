# fill_template.awk: a report's text with its figures filled in. The first file
# holds the figures, "<name> <value>" a line, the value being the rest of the
# line (empty: not measured). In the second, the text, "{name}" stands for a
# figure's value and "{name at_most LIMIT}", "{name at_least LIMIT}" or
# "{name within CENTRE TOLERANCE}"
# for whether it meets its target: "met" or "not met", "-" when not measured.
# LIMIT, CENTRE and TOLERANCE are numbers or names of figures. A name that the
# figures lack is an error, so that a misspelt one cannot go unnoticed.
# Usage: gawk -f fill_template.awk FIGURES TEXT

FNR == NR {
  value = $0
  sub(/^[^ ]+ ?/, "", value)
  figure[$1] = value
  next
}

{
  line = $0
  filled = ""
  while (match(line, /\{[a-z0-9_]+( [a-z_]+( [a-z0-9_.]+)+)?\}/)) {
    filled = filled substr(line, 1, RSTART - 1) placeholder(substr(line, RSTART + 1, RLENGTH - 2))
    line = substr(line, RSTART + RLENGTH)
  }
  print filled line
}

function value_of(name) {
  if (!(name in figure)) {
    printf "fill_template.awk: line %d names %s, which the figures lack\n", FNR, name > "/dev/stderr"
    exit 1
  }
  return figure[name]
}

function number(text) { return text ~ /^[-+]?[0-9.]+$/ ? text + 0 : value_of(text) + 0 }

function placeholder(text,    word, count, value) {
  count = split(text, word, " ")
  value = value_of(word[1])
  if (count == 1) return value == "" ? "not measured" : value
  if (value == "") return "-"
  if (word[2] == "at_most" && count == 3) return verdict(value + 0 <= number(word[3]))
  if (word[2] == "at_least" && count == 3) return verdict(value + 0 >= number(word[3]))
  if (word[2] == "within" && count == 4)
    return verdict(value + 0 >= number(word[3]) - number(word[4]) && value + 0 <= number(word[3]) + number(word[4]))
  printf "fill_template.awk: line %d: no such test: {%s}\n", FNR, text > "/dev/stderr"
  exit 1
}

function verdict(met) { return met ? "met" : "not met" }
