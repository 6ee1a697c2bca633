# Writes the patch index that Allegro's software MIDI player (DIGMID) reads
# as "default.cfg" beside the game: one line per General MIDI program
# ("number path", programs counted from 1) for every instrument patch of
# the freepats set, then the drum kit between "129 begin_multipatch" and
# "end_multipatch" with one line per drum key. Programs without a patch
# stay unlisted and play silent.
#   cmake -DPATCH_FOLDER=/usr/share/midi/freepats -DOUTPUT=default.cfg -P patch-index.cmake
if(NOT PATCH_FOLDER OR NOT OUTPUT)
  message(FATAL_ERROR "usage: cmake -DPATCH_FOLDER=... -DOUTPUT=... -P patch-index.cmake")
endif()

# Patch files are named by their number and name: "000_Acoustic_Grand_Piano.pat".
function(index_lines folder first_number result)
  file(GLOB patches ${folder}/[0-9][0-9][0-9]_*.pat)
  list(SORT patches)
  set(lines "")
  foreach(patch ${patches})
    get_filename_component(name ${patch} NAME)
    string(SUBSTRING ${name} 0 3 number)
    math(EXPR number "${number} + ${first_number}")
    string(APPEND lines "${number} ${patch}\n")
  endforeach()
  set(${result} "${lines}" PARENT_SCOPE)
endfunction()

index_lines(${PATCH_FOLDER}/Tone_000 1 instruments)
index_lines(${PATCH_FOLDER}/Drum_000 0 drums)
if(instruments STREQUAL "")
  message(FATAL_ERROR "${PATCH_FOLDER}: no instrument patches (is freepats installed?)")
endif()
file(WRITE ${OUTPUT}
  "# General MIDI patches for Allegro's DIGMID player, from ${PATCH_FOLDER}\n"
  "${instruments}"
  "129 begin_multipatch\n"
  "${drums}"
  "end_multipatch\n")
