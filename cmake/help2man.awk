# Sets a program's --help text as a manual page, line by line:
#   a line "Usage: ..." and the indented lines under it  SYNOPSIS
#   an unindented line ending in ':' ("Options:")        a section of that name
#   an indented line starting with '-'                   an option: its names
#                                                        up to two spaces, then
#                                                        its description
#   an indented line below an option                     more of its description
#   other lines                                          DESCRIPTION paragraphs
#                                                        (also after options)
#   awk -v name=NAME -v summary=TEXT -v version=V -f help2man.awk HELP.txt
function roff(text) {
    gsub(/\\/, "\\e", text)
    gsub(/-/, "\\-", text)
    if (text ~ /^[.']/) text = "\\&" text
    return text
}
function section(title) {
    if (title != current) print ".SH " title
    current = title
}
BEGIN {
    print ".TH " toupper(name) " 1 \"\" \"" name " " version "\" \"User Commands\""
    print ".SH NAME"
    print roff(name) " \\- " roff(summary)
    state = "text"   # text, usage, option
}
/^Usage:/ {
    section("SYNOPSIS")
    sub(/^Usage:[ \t]*/, "")
    print ".nf"
    print roff($0)
    state = "usage"
    next
}
state == "usage" && /^[ \t]+[^ \t]/ {
    sub(/^[ \t]+/, "")
    print roff($0)
    next
}
state == "usage" { print ".fi"; state = "text" }
/^[ \t]*$/ { if (state == "text") blank = 1; next }
/^[^ \t].*:$/ {
    sub(/:$/, "")
    section(toupper($0))
    state = "text"; blank = 0
    next
}
/^[ \t]+-/ {
    if (current == "SYNOPSIS" || current == "") section("DESCRIPTION")
    sub(/^[ \t]+/, "")
    names = $0; text = ""
    if (match($0, /  +/)) {
        names = substr($0, 1, RSTART - 1)
        text = substr($0, RSTART + RLENGTH)
    }
    print ".TP"
    print "\\fB" roff(names) "\\fR"
    if (text != "") print roff(text)
    state = "option"; blank = 0
    next
}
state == "option" && /^[ \t]/ {
    sub(/^[ \t]+/, "")
    print roff($0)
    next
}
{
    # Text after a list of options goes on (or starts) the description.
    if (current == "SYNOPSIS" || current == "" || state == "option") section("DESCRIPTION")
    if (blank || state == "option") print ".PP"
    print roff($0)
    state = "text"; blank = 0
}
END { if (state == "usage") print ".fi" }
