# Only Connection.cpp (and the header that includes the engine) may call the engine's
# C API, so that a second engine can sit behind Connection and Statement. Benchmarks
# are exempt: they measure the raw C API as their baseline.
file(GLOB_RECURSE sources "${SOURCE_DIR}/src/*.cpp" "${SOURCE_DIR}/src/*.h")
set(offenders "")
foreach(file IN LISTS sources)
  if(file MATCHES "/store/(Connection\\.cpp|SqliteApi\\.h)$")
    continue()
  endif()
  file(STRINGS "${file}" hits REGEX "sqlite3_[a-z_]+\\(|SqliteApi\\.h|sqlite3\\.h")
  if(hits)
    list(APPEND offenders "${file}: ${hits}")
  endif()
endforeach()
if(offenders)
  string(REPLACE ";" "\n" offenders "${offenders}")
  message(FATAL_ERROR "engine C API used outside Connection/Statement:\n${offenders}")
endif()
