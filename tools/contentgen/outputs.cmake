# Files the content generator writes, relative to show/.
set(CONTENT_FILES
  demodata/bg003x.jpg
  demodata/white.jpg
  demodata/black.jpg
  fonts/arial.ttf
  test.pos
)
