# The pictures and sounds the game loads, by their full paths: what the
# install copies and what the web build packs into its data packs.
# Exactly the files the game loads; the art scripts and the icons stay out.
set(LUMEN_PICTURES
    arrow.png
    aura.png
    bg.jpg
    instructions.jpg
    lose.jpg
    puck.png
    selection.png
    sparkle.png
    splash.jpg
    whiteSparkle.png
    win.jpg
    yingleft.png
    yingright.png
    yingtop.png
)
set(LUMEN_SOUNDS
    accept.wav
    bg.mp3
    gong.wav
    trans.wav
)
# What only the browser's version shows: the instructions for a player who
# taps, which its page puts in place of the mouse's.
set(LUMEN_WEB_PICTURES
    instructions-touch.jpg
)
list(TRANSFORM LUMEN_PICTURES PREPEND "${PROJECT_SOURCE_DIR}/img/")
list(TRANSFORM LUMEN_WEB_PICTURES PREPEND "${PROJECT_SOURCE_DIR}/img/")
list(TRANSFORM LUMEN_SOUNDS PREPEND "${PROJECT_SOURCE_DIR}/sounds/")

