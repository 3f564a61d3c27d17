ESCREVE "sem rótulo"
