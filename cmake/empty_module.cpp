// A module folder that holds no sources yet still builds as a library, so that
// the layering of the build is fixed before the code arrives.
