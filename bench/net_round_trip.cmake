# Round trips on loopback: bare TCP, a text through a session and back, and
# a player-count query, each as median and 90th percentile in milliseconds.
vantric_bench(net_round_trip SOURCES ${CMAKE_CURRENT_LIST_DIR}/net_round_trip.cpp LIBS vantric_net)
