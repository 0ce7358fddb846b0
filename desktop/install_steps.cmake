# The install steps that CMake's install commands cannot express, run by `cmake --install` with
# PELORIN_STEP naming the step. Paths honour DESTDIR; what the program sees does not include it.
cmake_policy(VERSION 3.25)
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(program_dir "${root}/lib/pelorin")

if(PELORIN_STEP STREQUAL "program_folder")
  # The folder holds the owner's ledger, which names people: created owner-only. A folder that
  # is there already keeps the mode its owner gave it.
  if(NOT IS_DIRECTORY "${program_dir}")
    file(MAKE_DIRECTORY "${program_dir}")
    file(CHMOD "${program_dir}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  endif()
  # A running copy keeps its file: unlinking lets the new one be written beside it ("text file busy").
  file(REMOVE "${program_dir}/Pelorin")

elseif(PELORIN_STEP STREQUAL "ledger")
  # An existing ledger (even a broken link) is the owner's data: never replaced, never touched.
  set(ledger "${program_dir}/DataBook.mdb")
  if(EXISTS "${ledger}" OR IS_SYMLINK "${ledger}")
    message(STATUS "Keeping the ledger: ${ledger}")
  else()
    if(NOT EXISTS "${PELORIN_DELIVERED}")
      message(FATAL_ERROR "The delivered ledger ${PELORIN_DELIVERED} is not built")
    endif()
    # Written beside it owner-only, then renamed into place without replacing anything.
    set(part "${ledger}.part")
    file(REMOVE "${part}")
    file(COPY_FILE "${PELORIN_DELIVERED}" "${part}")
    file(CHMOD "${part}" PERMISSIONS OWNER_READ OWNER_WRITE)
    file(RENAME "${part}" "${ledger}" NO_REPLACE RESULT moved)
    file(REMOVE "${part}")
    if(moved STREQUAL "0")
      message(STATUS "Installing the empty ledger: ${ledger}")
    else()
      message(STATUS "Keeping the ledger: ${ledger}")
    endif()
  endif()

elseif(PELORIN_STEP STREQUAL "desktop_entry")
  # The menu starts the launcher by its full path: the per-user bin folder is not always on PATH.
  set(exec "${CMAKE_INSTALL_PREFIX}/bin/pelorin")
  if(exec MATCHES "\n")
    message(FATAL_ERROR "An install prefix with a line break cannot be named in a desktop entry")
  endif()
  if(exec MATCHES "[^A-Za-z0-9/._+-]")
    # Quoted as the desktop entry's Exec key wants it: \ " ` $ escaped inside double quotes, then
    # every backslash escaped again as the key is a string, and % doubled (not a field code).
    string(REPLACE "\\" "\\\\" exec "${exec}")
    string(REPLACE "\"" "\\\"" exec "${exec}")
    string(REPLACE "`" "\\`" exec "${exec}")
    string(REPLACE "$" "\\$" exec "${exec}")
    string(REPLACE "\\" "\\\\" exec "${exec}")
    string(REPLACE "%" "%%" exec "${exec}")
    set(exec "\"${exec}\"")
  endif()
  set(PELORIN_EXEC "${exec}")
  configure_file("${PELORIN_ENTRY_IN}" "${PELORIN_ENTRY_OUT}" @ONLY)
  file(INSTALL "${PELORIN_ENTRY_OUT}" DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications")

elseif(PELORIN_STEP STREQUAL "first_run")
  # Recorded for the installing user; a staged install (DESTDIR) belongs to nobody yet.
  if("$ENV{DESTDIR}" STREQUAL "")
    execute_process(COMMAND "${PELORIN_SETTINGS_TOOL}" Install 1 RESULT_VARIABLE status)
    if(NOT status STREQUAL "0")
      message(WARNING "Could not record the first run as done; Pelorin will offer its installer")
    endif()
  endif()

elseif(PELORIN_STEP STREQUAL "manifest")
  # The list of installed files stays beside the program, so that `make uninstall` removes
  # exactly these, also once the build folder is gone.
  set(manifest "${program_dir}/install-manifest.txt")
  set(files ${CMAKE_INSTALL_MANIFEST_FILES})
  list(APPEND files "${manifest}")
  list(REMOVE_DUPLICATES files)
  string(REPLACE ";" "\n" text "${files}")
  file(WRITE "${manifest}" "${text}\n")
endif()
