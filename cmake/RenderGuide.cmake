# cmake -DCMARK=... -DSOURCE=guide.md -DPAGE=guide.html -P RenderGuide.cmake
# cmark renders the body; the page around it names its encoding, so that every browser reads the
# Japanese texts as UTF-8.
execute_process(COMMAND ${CMARK} --to html ${SOURCE} OUTPUT_VARIABLE body COMMAND_ERROR_IS_FATAL ANY)
file(WRITE ${PAGE} "<!DOCTYPE html>
<html lang=\"en\">
<head>
<meta charset=\"utf-8\">
<title>mrv508 operator's guide</title>
</head>
<body>
${body}</body>
</html>
")
