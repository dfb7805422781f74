#include "StderrCapture.h"

#include <stdio.h>
#include <unistd.h>

#include <cstdio>

StderrCapture::StderrCapture() {
    std::fflush(stderr);
    FILE* file = std::tmpfile();
    if (file == nullptr)
        return;
    FCaptured = dup(fileno(file));
    std::fclose(file);
    FSaved = dup(STDERR_FILENO);
    dup2(FCaptured, STDERR_FILENO);
}

StderrCapture::~StderrCapture() {
    std::fflush(stderr);
    if (FSaved >= 0) {
        dup2(FSaved, STDERR_FILENO);
        close(FSaved);
    }
    if (FCaptured >= 0)
        close(FCaptured);
}

std::string StderrCapture::Text() const {
    std::fflush(stderr);
    std::string text;
    if (FCaptured < 0)
        return text;
    char chunk[4096];
    ssize_t got = 0;
    for (off_t at = 0; (got = pread(FCaptured, chunk, sizeof chunk, at)) > 0; at += got)
        text.append(chunk, static_cast<std::size_t>(got));
    return text;
}
