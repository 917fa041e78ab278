# The movie widget: loading, playing, sharing and drawing Lottie movies.
zorban_add_test(test_movie_widget SOURCES test_movie_widget.cpp LIBS zorban_media)

# Not a test: processor time of the 22 lids playing at once (tools/bench-movies.sh).
add_executable(bench_movies EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/tools/bench_movies.cpp)
target_link_libraries(bench_movies PRIVATE zorban_media)
target_compile_definitions(bench_movies PRIVATE ZORBAN_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
