# Writes the metainfo from data/<app id>.metainfo.xml.in. The addresses are a publisher's to
# give; each one left empty leaves its elements out, and the file still validates.
#   PLEMBY_HOMEPAGE, PLEMBY_BUGTRACKER: the project's page and its bug tracker
#   PLEMBY_SCREENSHOT_BASE: where docs/screenshots/ is published
# Included by the install rules, and run on its own (cmake -D... -P) by the install test.
# Needs PLEMBY_METAINFO_IN, PLEMBY_METAINFO_OUT and PROJECT_VERSION.
set(PLEMBY_METAINFO_URLS "")
if(PLEMBY_HOMEPAGE)
  string(APPEND PLEMBY_METAINFO_URLS "  <url type=\"homepage\">${PLEMBY_HOMEPAGE}</url>\n")
endif()
if(PLEMBY_BUGTRACKER)
  string(APPEND PLEMBY_METAINFO_URLS "  <url type=\"bugtracker\">${PLEMBY_BUGTRACKER}</url>\n")
endif()

set(PLEMBY_METAINFO_SCREENSHOTS "")
if(PLEMBY_SCREENSHOT_BASE)
  # file name, then caption; the first is the default picture.
  set(shots
      "play.png" "A game in play"
      "title.png" "The title screen"
      "menu.png" "The main menu"
      "options.png" "The options: full screen, music and sound, volumes, speeds and the start level"
      "controls.png" "The controls: two keys and a button for each action, the ghost piece and the pause on focus loss"
      "high-scores.png" "The eight best scores")
  set(type " type=\"default\"")
  set(PLEMBY_METAINFO_SCREENSHOTS "  <screenshots>\n")
  while(shots)
    list(POP_FRONT shots file caption)
    string(APPEND PLEMBY_METAINFO_SCREENSHOTS
           "    <screenshot${type}>\n"
           "      <caption>${caption}</caption>\n"
           "      <image type=\"source\" width=\"1024\" height=\"768\">${PLEMBY_SCREENSHOT_BASE}/${file}</image>\n"
           "    </screenshot>\n")
    set(type "")
  endwhile()
  string(APPEND PLEMBY_METAINFO_SCREENSHOTS "  </screenshots>\n")
endif()

configure_file(${PLEMBY_METAINFO_IN} ${PLEMBY_METAINFO_OUT} @ONLY)
