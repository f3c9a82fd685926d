# Recipe: SQLCipher for Windows with libtomcrypt as its crypto provider, one DLL. Sourced by sdk.sh with
# $SRC (unpacked sqlcipher), $TOMCRYPT_SRC_DIR (unpacked libtomcrypt), $WORK and $OUT; part of the cache key.
# The codec's compile-time settings are Debian's libsqlcipher's (debian/rules), so lists move between
# the Linux and Windows builds: the cipher defaults (AES-256-CBC, HMAC-SHA1, PBKDF2 64000, 1024-byte
# pages) are the library's own and independent of the provider.
CC=$TRIPLE-gcc-posix
# libtomcrypt with its default configuration (no math provider: the codec needs none).
tc=$WORK/tomcrypt
cp -r "$TOMCRYPT_SRC_DIR" "$tc"
(cd "$tc" && make -f makefile.unix -j "$JOBS" CC="$CC" AR=$TRIPLE-ar RANLIB=$TRIPLE-ranlib \
    CFLAGS="-O2 -DLTC_NO_TEST" EXTRALIBS= libtomcrypt.a >"$tc/make.log")
# The amalgamation is generated on the host (tclsh, host cc), then compiled for Windows.
am=$WORK/amalgamation
mkdir -p "$am"
(cd "$am" && "$SRC/configure" --disable-tcl --enable-tempstore=yes --with-crypto-lib=none CFLAGS="-DSQLITE_HAS_CODEC" >configure.log &&
    make sqlite3.c >make.log)
# Debian's libsqlcipher compile flags (debian/rules), the codec among them.
DEBIAN_CFLAGS="-fno-strict-aliasing -DSQLITE_SECURE_DELETE -DSQLITE_ENABLE_COLUMN_METADATA -DSQLITE_ENABLE_FTS3
    -DSQLITE_ENABLE_RTREE=1 -DSQLITE_SOUNDEX=1 -DSQLITE_ENABLE_UNLOCK_NOTIFY -DSQLITE_OMIT_LOOKASIDE=1
    -DSQLITE_ENABLE_UPDATE_DELETE_LIMIT=1 -DSQLITE_MAX_SCHEMA_RETRY=25 -DSQLITE_HAS_CODEC -DSQLITE_THREADSAFE=1
    -DSQLITE_TEMP_STORE=1 -DSQLITE_OS_WIN=1"
mkdir -p "$OUT/bin" "$OUT/lib/pkgconfig" "$OUT/include/sqlcipher"
$CC -O2 -shared -o "$OUT/bin/libsqlcipher-0.dll" "$am/sqlite3.c" \
    -I"$tc/src/headers" $DEBIAN_CFLAGS -DSQLCIPHER_CRYPTO_LIBTOMCRYPT \
    "$tc/libtomcrypt.a" -Wl,--out-implib,"$OUT/lib/libsqlcipher.dll.a"
cp "$am/sqlite3.h" "$SRC/src/sqlite3ext.h" "$OUT/include/sqlcipher/" 2>/dev/null || cp "$am/sqlite3.h" "$OUT/include/sqlcipher/"
cat >"$OUT/lib/pkgconfig/sqlcipher.pc" <<PC
prefix=\${pcfiledir}/../..
libdir=\${prefix}/lib
includedir=\${prefix}/include
Name: SQLCipher
Description: SQLCipher for Windows (libtomcrypt)
Version: 3.15.2
Libs: -L\${libdir} -lsqlcipher
Cflags: -I\${includedir} -I\${includedir}/sqlcipher
PC
