# own_code.awk: the program's own share of a callgrind profile that was
# collected only inside its frame path (--toggle-collect=display() ...).
# Prints "frames <calls of display()>", "own <instructions spent in the
# program's own object>", "allocations <calls of malloc and its kin>" and
# "opens <calls that open a file>" made anywhere below (the driver included),
# then "calls <object> <function>" for every function outside the program's
# object that its own code calls, itself or through the standard library's
# templates it instantiates.
# Usage: gawk -v program=PATH_OF_THE_PROGRAM -f own_code.awk callgrind.out

# Callgrind writes a name once as "(id) name" and afterwards as "(id)".
function named(kind, text,    part) {
  if (match(text, /^\(([0-9]+)\) ?(.*)$/, part)) {
    if (part[2] != "") names[kind, part[1]] = part[2]
    return names[kind, part[1]]
  }
  return text
}

/^ob=/ { object = named("ob", substr($0, 4)); next }
/^fn=/ { caller = named("fn", substr($0, 4)); callee_object = object; next }
/^cob=/ { callee_object = named("ob", substr($0, 5)); next }
/^cfn=/ { callee = named("fn", substr($0, 5)); next }
/^calls=/ {
  split(substr($0, 7), call, " ")
  if (callee == "display()") frames += call[1]
  if (callee ~ /^(malloc|calloc|realloc|memalign|posix_memalign|aligned_alloc)$/) allocations += call[1]
  if (callee ~ /^(open|open64|openat|openat64|fopen|fopen64)$/) opens += call[1]
  call_cost_follows = 1
  next
}
# A cost line: "<position> <instructions>"; after "calls=" it is the call's
# inclusive cost, which belongs to the callee, not to the caller itself.
/^[0-9+*-]/ {
  if (call_cost_follows) {
    # main and the C runtime's start enclose the frame path without being part of it.
    if (object == program && callee_object != program && caller !~ /^(main|\(below main\))$/)
      outside_of[caller] = outside_of[caller] SUBSEP callee_object " " callee
    if (object == program && callee_object == program) inside_of[caller] = inside_of[caller] SUBSEP callee
    call_cost_follows = 0
    callee_object = object
  } else if (object == program) {
    own += $2
  }
}

# The standard library's templates that the program instantiates sit in its
# object and are bound for the libraries that use them too (the driver's
# compiler among them): their calls count only where the program's own code
# reaches them.
function reach(function_name,    callees, count, i) {
  if (function_name in reached) return
  reached[function_name] = 1
  count = split(inside_of[function_name], callees, SUBSEP)
  for (i = 2; i <= count; ++i) reach(callees[i])
}

END {
  printf "frames %d\nown %d\nallocations %d\nopens %d\n", frames, own, allocations, opens
  for (name in outside_of) if (name !~ /^(std|__gnu_cxx)::/) reach(name)
  for (name in inside_of) if (name !~ /^(std|__gnu_cxx)::/) reach(name)
  for (name in reached) {
    count = split(outside_of[name], calls, SUBSEP)
    for (i = 2; i <= count; ++i) outside[calls[i]] = 1
  }
  for (name in outside) print "calls " name
}
