# Sets a program's --help text as a manual page, in the usual order: NAME,
# SYNOPSIS, DESCRIPTION, then the help's own sections (OPTIONS). Line by line:
#   a line "Usage: ..." and the indented lines under it  SYNOPSIS
#   an unindented line ending in ':' ("Options:")        a section of that name
#   an indented line starting with '-'                   an option of the
#                                                        section (DESCRIPTION
#                                                        before any): its names
#                                                        up to two spaces, then
#                                                        its description
#   an indented line below an option                     more of its description
#   other lines                                          DESCRIPTION paragraphs,
#                                                        before or after the rest
#   awk -v name=NAME -v summary=TEXT -v version=V -f help2man.awk HELP.txt
function roff(text) {
    gsub(/\\/, "\\e", text)
    gsub(/-/, "\\-", text)
    if (text ~ /^[.']/) text = "\\&" text
    return text
}
function add(section, line) {
    if (!(section in text)) order[++sections] = section
    text[section] = text[section] line "\n"
}
BEGIN {
    state = "text"   # text, usage, option
    current = "DESCRIPTION"
}
/^Usage:/ {
    sub(/^Usage:[ \t]*/, "")
    add("SYNOPSIS", ".nf")
    add("SYNOPSIS", roff($0))
    state = "usage"
    next
}
state == "usage" && /^[ \t]+[^ \t]/ {
    sub(/^[ \t]+/, "")
    add("SYNOPSIS", roff($0))
    next
}
state == "usage" { add("SYNOPSIS", ".fi"); state = "text" }
/^[ \t]*$/ { if (state == "text") blank = 1; next }
/^[^ \t].*:$/ {
    sub(/:$/, "")
    current = toupper($0)
    state = "text"; blank = 0
    next
}
/^[ \t]+-/ {
    sub(/^[ \t]+/, "")
    names = $0; help = ""
    if (match($0, /  +/)) {
        names = substr($0, 1, RSTART - 1)
        help = substr($0, RSTART + RLENGTH)
    }
    add(current, ".TP")
    add(current, "\\fB" roff(names) "\\fR")
    if (help != "") add(current, roff(help))
    state = "option"; blank = 0
    next
}
state == "option" && /^[ \t]/ {
    sub(/^[ \t]+/, "")
    add(current, roff($0))
    next
}
{
    if ((blank || state == "option") && "DESCRIPTION" in text) add("DESCRIPTION", ".PP")
    add("DESCRIPTION", roff($0))
    state = "text"; blank = 0
}
function show(section) { if (section in text) printf ".SH %s\n%s", section, text[section] }
END {
    if (state == "usage") add("SYNOPSIS", ".fi")
    print ".TH " toupper(name) " 1 \"\" \"" name " " version "\" \"User Commands\""
    print ".SH NAME"
    print roff(name) " \\- " roff(summary)
    show("SYNOPSIS")
    show("DESCRIPTION")
    for (i = 1; i <= sections; ++i)
        if (order[i] != "SYNOPSIS" && order[i] != "DESCRIPTION") show(order[i])
}
