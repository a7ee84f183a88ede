# help_to_man.awk: turns quorvan-capture's --help text into the body of its
# manual page, so that the two cannot tell different stories.
# Paragraphs are separated by blank lines. The first line is the usage; a
# paragraph whose first line ends in ":" lists entries (a term, two spaces or
# more, its description, continued on lines indented ten spaces or more);
# "Options:", "Examples:" and "Exit status:" start sections of their own.

# Escapes for roff: backslashes, and hyphens that start an option or follow one.
function roff(text) {
  gsub(/\\/, "\\e", text)
  text = " " text
  while (match(text, /[ ('"=,\[]-/)) text = substr(text, 1, RSTART) "\\-" substr(text, RSTART + 2)
  while (match(text, /[^\\]--/)) text = substr(text, 1, RSTART) "-\\-" substr(text, RSTART + 3)
  while (match(text, /\\--/)) text = substr(text, 1, RSTART + 1) "\\-" substr(text, RSTART + 3)
  text = substr(text, 2)
  if (text ~ /^[.']/) text = "\\&" text
  return text
}

# "--fps=N" in bold with its value in italics; "-h, --help" as two bold names.
function term(text,    parts, count, i, out, name, value, at) {
  count = split(text, parts, /, /)
  for (i = 1; i <= count; ++i) {
    at = index(parts[i], "=")
    name = at ? substr(parts[i], 1, at - 1) : parts[i]
    value = at ? substr(parts[i], at + 1) : ""
    out = out (i > 1 ? ", " : "") "\\fB" roff(name) "\\fR" (at ? "=\\fI" roff(value) "\\fR" : "")
  }
  return out
}

function start_paragraph(line) {
  section = ""
  if (line == "Options:") { print ".SH OPTIONS"; section = "list"; after_options = 1; return 1 }
  if (line == "Examples:") { print ".SH EXAMPLES"; print ".EX"; section = "examples"; return 1 }
  if (line ~ /^Exit status: /) {
    print ".SH \"EXIT STATUS\""; sub(/^Exit status: /, "", line)
  } else if (after_options) {
    print ".SH NOTES"  # what follows the options is about the run as a whole
  }
  after_options = 0
  if (line ~ /:$/) section = "list"
  print ".PP"
  print roff(line)
  return 1
}

NR == 1 {
  sub(/^Usage: /, "")
  name = $1; sub(/^[^ ]+ /, "")
  print ".SH SYNOPSIS"
  print ".B " name
  print roff($0)
  print ".SH DESCRIPTION"
  in_paragraph = 1
  next
}
/^$/ {
  if (section == "examples") print ".EE"
  in_paragraph = 0; section = ""
  next
}
!in_paragraph { in_paragraph = start_paragraph($0); next }
section == "examples" { sub(/^  /, ""); print roff($0); next }
# An entry's term starts a little way in; its description's later lines start far in.
section == "list" && match($0, /^ +/) && RLENGTH < 10 {
  line = substr($0, RLENGTH + 1)
  if (!match(line, /  +/)) { print ".TP"; print term(line); next }
  description = substr(line, RSTART + RLENGTH)
  print ".TP"
  print term(substr(line, 1, RSTART - 1))
  print roff(description)
  next
}
{ line = $0; sub(/^ +/, "", line); print roff(line) }
END { if (section == "examples") print ".EE" }
