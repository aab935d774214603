# kvo2-render's formats as the texts around the program name them, read from
# their table (render/format_table.cpp) when CMake configures, so that a new
# row reaches every one: the Debian package's description (through
# kvo2/linux/), the manual page's summary (render/), the AppStream metainfo and
# the options fuzz target's dictionary (tests/fuzz/). The table's rows each
# begin on one line with the name, title, kind, rate and writer:
#   {"webp", "WebP", Kind::Clip, 60, WriteWebpClip,
# and the unit tests hold what is read here to Formats() (KVO_FORMAT_ROWS).
# Sets:
#   KVO_FORMATS        every row's name, in the table's order
#   KVO_FORMAT_ROWS    each row as "name:title:still|clip:rate:1|0" (written by
#                      this build or not)
#   KVO_RENDER_STILLS  the stills this build writes, by title: "PNG"
#   KVO_RENDER_CLIPS   its clips: "GIF, WebP, MP4 (H.264) or WebM (VP9)"
#   KVO_RENDER_ABOUT   the sentence the metainfo says of them
# and defines kvo_wrap.

# kvo_wrap(VAR TEXT WIDTH INDENT): TEXT in lines of at most WIDTH characters,
# INDENT included, broken between words.
function(kvo_wrap var text width indent)
  string(REGEX REPLACE "[ \n]+" ";" words "${text}")
  set(out "")
  set(line "")
  foreach(word IN LISTS words)
    string(LENGTH "${indent}${line} ${word}" length)
    if(line STREQUAL "")
      set(line "${word}")
    elseif(length GREATER width)
      string(APPEND out "${indent}${line}\n")
      set(line "${word}")
    else()
      string(APPEND line " ${word}")
    endif()
  endforeach()
  set(${var} "${out}${indent}${line}" PARENT_SCOPE)
endfunction()

# "A", "A or B", "A, B or C".
function(kvo_either var)
  list(POP_BACK ARGN last)
  list(JOIN ARGN ", " first)
  if(first STREQUAL "")
    set(${var} "${last}" PARENT_SCOPE)
  else()
    set(${var} "${first} or ${last}" PARENT_SCOPE)
  endif()
endfunction()

set(table ${PROJECT_SOURCE_DIR}/render/format_table.cpp)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${table})
file(READ ${table} text)
set(row "\"([a-z0-9]+)\", \"([^\";]+)\", Kind::(Still|Clip), ([0-9]+), (KVO_VIDEO_WRITER\\()?")
string(REGEX MATCHALL "{${row}" rows "${text}")
string(REGEX MATCHALL "Kind::[A-Za-z]+" kinds "${text}")
list(LENGTH rows read)
list(LENGTH kinds all)
if(read EQUAL 0 OR NOT read EQUAL all)
  message(FATAL_ERROR "${table}: ${all} rows, ${read} of them read; begin each row with its "
    "name, title, kind, rate and writer on one line, as {\"webp\", \"WebP\", Kind::Clip, 60, WriteWebpClip,")
endif()

set(KVO_FORMATS)
set(KVO_FORMAT_ROWS)
set(stills)
set(clips)
foreach(match IN LISTS rows)
  string(REGEX MATCH "${row}" match "${match}")
  string(TOLOWER ${CMAKE_MATCH_3} kind)
  set(written 1)
  if(CMAKE_MATCH_5 AND NOT KVO_VIDEO)  # a video row: no writer without video
    set(written 0)
  else()
    list(APPEND ${kind}s "${CMAKE_MATCH_2}")
  endif()
  list(APPEND KVO_FORMATS ${CMAKE_MATCH_1})
  list(APPEND KVO_FORMAT_ROWS "${CMAKE_MATCH_1}:${CMAKE_MATCH_2}:${kind}:${CMAKE_MATCH_4}:${written}")
endforeach()
kvo_either(KVO_RENDER_STILLS ${stills})
kvo_either(KVO_RENDER_CLIPS ${clips})
set(KVO_RENDER_ABOUT "kvo2-render writes any of its frames as a ${KVO_RENDER_STILLS} still, \
or a stretch of them as a looping clip: ${KVO_RENDER_CLIPS}.")
