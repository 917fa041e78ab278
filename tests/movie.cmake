# The movie widget: loading, playing, sharing and drawing Lottie movies.
zorban_add_test(test_movie_widget SOURCES test_movie_widget.cpp LIBS zorban_media LABELS gui)

