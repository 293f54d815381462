# Files the content generator writes, relative to show/.
set(CONTENT_FILES
  demodata/bg003x.jpg
  test.pos
)
