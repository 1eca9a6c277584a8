// keeps a library with no sources yet buildable
