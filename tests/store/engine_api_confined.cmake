# Only Connection.cpp (and the header that includes the engine) may call the file engine's
# C API, and only PgEngine.cpp the server's (libpq), so that both stay behind Connection and
# Statement. Benchmarks
# are exempt: they measure the raw C API as their baseline.
file(GLOB_RECURSE sources "${SOURCE_DIR}/src/*.cpp" "${SOURCE_DIR}/src/*.h")
set(offenders "")
foreach(file IN LISTS sources)
  if(NOT file MATCHES "/store/(Connection\\.cpp|SqliteApi\\.h)$")
    file(STRINGS "${file}" hits REGEX "sqlite3_[a-z_]+\\(|SqliteApi\\.h|sqlite3\\.h")
    if(hits)
      list(APPEND offenders "${file}: ${hits}")
    endif()
  endif()
  if(NOT file MATCHES "/store/PgEngine\\.cpp$")
    file(STRINGS "${file}" hits REGEX "[^A-Za-z_]PQ[a-z]+[A-Za-z]*\\(|libpq-fe\\.h")
    if(hits)
      list(APPEND offenders "${file}: ${hits}")
    endif()
  endif()
endforeach()
if(offenders)
  string(REPLACE ";" "\n" offenders "${offenders}")
  message(FATAL_ERROR "engine C API used outside Connection/Statement:\n${offenders}")
endif()
