# Copies SOURCE to DESTINATION only when nothing is there yet: a file the user has
# changed since (saved qualifiers, for instance) is never replaced by a build.
if(NOT EXISTS "${DESTINATION}")
  file(COPY_FILE "${SOURCE}" "${DESTINATION}")
endif()
