# Processing through the plug-in bundle and the host stand-in against the processor directly. Built with
# everything else, run by hand (see README.md, "Rendering audio through the bundle").
add_executable(bundle_benchmark BundleBenchmark.cpp)
add_dependencies(bundle_benchmark kelvane_bundle)
target_compile_definitions(bundle_benchmark PRIVATE KELVANE_BUNDLE_PATH="${KELVANE_BUNDLE_DIR}")
target_link_libraries(bundle_benchmark PRIVATE kelvane_aax_host kelvane_engine benchmark::benchmark)
