# Makes the user guide's HTML page from its Markdown (docs/guida.md), run as
#   cmake -DCMARK=cmark-gfm -DSOURCE=docs/guida.md -DOUTPUT=.../guida.html -P user_guide.cmake
# cmark-gfm writes the body; each heading gets the anchor GitHub gives it (lower case, letters,
# digits, blanks made hyphens), so that the guide's own links and the README's links to its
# chapters land on them; the page is wrapped with its title and a little style.
execute_process(COMMAND ${CMARK} --to html --extension table ${SOURCE}
                OUTPUT_VARIABLE body RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmark-gfm could not read ${SOURCE}")
endif()

string(REGEX MATCHALL "<h[1-3]>[^<]*</h[1-3]>" headings "${body}")
foreach(heading IN LISTS headings)
    string(REGEX REPLACE "<h([1-3])>([^<]*)</h[1-3]>" "\\1" level "${heading}")
    string(REGEX REPLACE "<h[1-3]>([^<]*)</h[1-3]>" "\\1" text "${heading}")
    string(REPLACE "&quot;" "" slug "${text}")
    string(REPLACE "&amp;" "" slug "${slug}")
    string(TOLOWER "${slug}" slug)
    string(REGEX REPLACE "[^a-z0-9 -]" "" slug "${slug}")
    string(REPLACE " " "-" slug "${slug}")
    string(REPLACE "${heading}"
           "<h${level} id=\"${slug}\"><a name=\"${slug}\"></a>${text}</h${level}>" body
           "${body}")
endforeach()

set(page "<!DOCTYPE html>
<html lang=\"it\">
<head>
<meta charset=\"utf-8\">
<title>Guida di Quotaplan</title>
<style>
body { max-width: 50em; margin: 1em auto; padding: 0 1em; font-family: sans-serif; line-height: 1.4; }
img { max-width: 100%; display: block; margin: 0.5em 0; }
pre { background: #f4f4f4; color: #000; padding: 0.5em; overflow-x: auto; }
</style>
</head>
<body>
${body}</body>
</html>
")
file(WRITE ${OUTPUT} "${page}")
