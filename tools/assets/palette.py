"""The colours of the game's look: gold on a night-blue studio set."""

GOLD_PALE = "#fff6cf"
GOLD_LIGHT = "#ffd966"
GOLD_MID = "#e0a526"
GOLD_DEEP = "#9a6410"
GOLD_SHADOW = "#4a2c04"

NIGHT = "#120c38"
NIGHT_DEEP = "#06051a"
NIGHT_VIOLET = "#3d2590"

SILVER_LIGHT = "#e9edf3"
SILVER_MID = "#b8bfcc"
SILVER_DARK = "#7d8596"

# Text drawn by the game over these pictures and movies.
TEXT_DARK = "#1e1030"
TEXT_LIGHT = "#ffe9b0"
