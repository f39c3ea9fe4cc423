// Arquivos no POSIX: identidade, exame de destinos, gravação segura por temporário anônimo (O_TMPFILE, com um
// temporário com nome onde o sistema de arquivos o recusa) e anexação sob trava.
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/interno_posix.h"
#include "platform/plataforma.h"

namespace {

std::string diretorio_de(const std::string& c) {
    const std::size_t b = c.rfind('/');
    return b == std::string::npos ? "" : c.substr(0, b + 1);
}

const char* ou_corrente(const std::string& d) { return d.empty() ? "." : d.c_str(); }

// "/proc/self/fd/N", "/proc/PID/fd/N" ou "/dev/fd/N": um descritor aberto, não um arquivo com nome. Devolve N
// quando o descritor é deste processo, -1 quando é de outro, -2 quando o caminho não é desses.
int descritor_de(const std::string& p) {
    std::string resto;
    if (p.starts_with("/dev/fd/")) {
        resto = p.substr(8);
    } else if (p.starts_with("/proc/")) {
        const std::size_t f = p.find("/fd/", 6);
        if (f == std::string::npos) return -2;
        const std::string dono = p.substr(6, f - 6);
        if (dono != "self" && dono != "thread-self" && dono != std::to_string(getpid())) return -1;
        resto = p.substr(f + 4);
    } else {
        return -2;
    }
    if (resto.empty() || resto.size() > 9 || resto.find_first_not_of("0123456789") != std::string::npos) return -1;
    return std::stoi(resto);
}

// Segue a cadeia de links de `caminho` até o destino real (que pode não existir), recusando, como a regra
// protected_symlinks do kernel, um link num diretório com sticky bit e escrita para todos que não pertence nem a
// quem roda nem ao dono do diretório.
falha_arquivo resolver(const std::string& caminho, std::string& real) {
    std::string p = caminho;
    for (int n = 0; n < 40; ++n) {
        if (descritor_de(p) != -2) break;
        struct stat l{};
        if (lstat(p.c_str(), &l) != 0) {
            if (errno == ENOENT) break;
            return {errno, ""};
        }
        if (!S_ISLNK(l.st_mode)) break;
        const std::string d = diretorio_de(p);
        struct stat sd{};
        if (stat(ou_corrente(d), &sd) == 0 && (sd.st_mode & S_ISVTX) && (sd.st_mode & S_IWOTH) &&
            l.st_uid != geteuid() && l.st_uid != sd.st_uid) {
            return {EACCES, "refusing to follow the symbolic link " + p + ": it belongs to another user (uid " +
                                std::to_string(l.st_uid) + ") and lies in the shared directory " +
                                (d.empty() ? std::string(".") : d)};
        }
        char alvo[PATH_MAX];
        const ssize_t k = readlink(p.c_str(), alvo, sizeof alvo - 1);
        if (k < 0) return {errno, ""};
        const std::string a(alvo, static_cast<std::size_t>(k));
        p = a.starts_with("/") ? a : d + a;
        if (n == 39) return {ELOOP, ""};
    }
    real = p;
    return {};
}

// Abre um destino especial para escrita direta, sem esperar por um leitor de FIFO que não existe.
falha_arquivo abrir_especial(const std::string& real, int& fd) {
    const int n = descritor_de(real);
    if (n >= 0) {
        fd = fcntl(n, F_DUPFD_CLOEXEC, 3);
        return fd < 0 ? falha_arquivo{errno, ""} : falha_arquivo{};
    }
    fd = open(real.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENXIO) return {ENXIO, "no process is reading the FIFO"};
        return {errno, ""};
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return {};
}

falha_arquivo escrever_tudo(int fd, const char* p, std::size_t n) {
    while (n > 0) {
        const ssize_t k = write(fd, p, n);
        if (k < 0) {
            if (errno == EINTR) continue;
            return {errno, ""};
        }
        if (k == 0) return {EIO, ""};
        p += k;
        n -= static_cast<std::size_t>(k);
    }
    return {};
}

// Nome ainda livre de temporário no diretório: ".placa-" e seis caracteres ao acaso.
std::string nome_temporario(const std::string& dir) {
    static const char letras[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char b[6] = {};
    if (getrandom(b, sizeof b, 0) != static_cast<ssize_t>(sizeof b))
        for (unsigned char& x : b) x = static_cast<unsigned char>(std::rand());
    std::string s = dir + ".placa-";
    for (unsigned char x : b) s += letras[x % 62];
    return s;
}

mode_t modo_novo() {
    const mode_t m = umask(0);
    umask(m);
    return 0666 & ~m;
}

} // namespace

std::string nome_para_programa(const std::string& caminho) {
    return caminho.empty() || caminho.starts_with("/") ? caminho : "./" + caminho;
}

std::string descrever(const falha_arquivo& f) { return f.motivo.empty() ? std::strerror(f.codigo) : f.motivo; }

identidade_arquivo identificar(const std::string& caminho) {
    identidade_arquivo r;
    struct stat st{};
    if (stat(caminho.c_str(), &st) == 0) {
        r.existe = true;
        r.dispositivo = st.st_dev;
        r.inode = st.st_ino;
        return r;
    }
    const std::string d = diretorio_de(caminho);
    char real[PATH_MAX];
    r.caminho = realpath(ou_corrente(d), real) ? std::string(real) + "/" + caminho.substr(d.size()) : caminho;
    return r;
}

bool mesmo_arquivo(const identidade_arquivo& a, const identidade_arquivo& b) {
    if (a.existe != b.existe) return false;
    return a.existe ? a.dispositivo == b.dispositivo && a.inode == b.inode : a.caminho == b.caminho;
}

falha_arquivo examinar_destino(const std::string& caminho) {
    if (caminho.empty()) return {ENOENT, ""};
    std::string real;
    if (falha_arquivo f = resolver(caminho, real)) return f;
    const int n = descritor_de(real);
    if (n != -2) return n >= 0 && fcntl(n, F_GETFD) < 0 ? falha_arquivo{EBADF, ""} : falha_arquivo{};
    const std::string d = diretorio_de(real);
    struct stat st{};
    if (stat(real.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return {EISDIR, ""};
        if (!S_ISREG(st.st_mode)) return {};
        if ((st.st_mode & 0222) == 0) return {EACCES, ""};
    } else if (errno != ENOENT) {
        return {errno, ""};
    } else if (real.size() - d.size() > NAME_MAX) {
        return {ENAMETOOLONG, ""};
    }
    struct stat sd{};
    if (stat(ou_corrente(d), &sd) != 0) return {errno, ""};
    if (!S_ISDIR(sd.st_mode)) return {ENOTDIR, ""};
    if (faccessat(AT_FDCWD, ou_corrente(d), W_OK | X_OK, AT_EACCESS) != 0) return {errno, ""};
    return {};
}

bool destino_especial(const std::string& caminho) {
    std::string real;
    if (resolver(caminho, real)) return false;
    if (descritor_de(real) != -2) return true;
    struct stat st{};
    return stat(real.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

gravacao_segura::~gravacao_segura() { descartar(); }

gravacao_segura::gravacao_segura(gravacao_segura&& o) noexcept { *this = std::move(o); }

gravacao_segura& gravacao_segura::operator=(gravacao_segura&& o) noexcept {
    if (this != &o) {
        descartar();
        fd_ = o.fd_, vaga_ = o.vaga_, direto_ = o.direto_, anonimo_ = o.anonimo_;
        destino_ = std::move(o.destino_), diretorio_ = std::move(o.diretorio_);
        temporario_ = std::move(o.temporario_);
        o.fd_ = -1, o.vaga_ = -1;
        o.temporario_.clear();
    }
    return *this;
}

falha_arquivo gravacao_segura::abrir(const std::string& caminho, tipo_temporario tipo) {
    descartar();
    if (caminho.empty()) return {ENOENT, ""};
    if (falha_arquivo f = resolver(caminho, destino_)) return f;
    struct stat st{};
    const bool existe = descritor_de(destino_) != -2 || stat(destino_.c_str(), &st) == 0;
    if (!existe && errno != ENOENT) return {errno, ""};
    if (existe && (descritor_de(destino_) != -2 || !S_ISREG(st.st_mode))) {
        if (S_ISDIR(st.st_mode)) return {EISDIR, ""};
        direto_ = true;
        return abrir_especial(destino_, fd_);
    }
    if (existe && (st.st_mode & 0222) == 0) return {EACCES, ""};
    const mode_t modo = existe ? st.st_mode & 0777 : modo_novo();
    diretorio_ = diretorio_de(destino_);
    if (tipo == tipo_temporario::anonimo) {
        fd_ = open(ou_corrente(diretorio_), O_TMPFILE | O_WRONLY | O_CLOEXEC, modo);
        // o nome virá por /proc/self/fd; sem /proc, um temporário com nome
        if (fd_ >= 0 && access("/proc/self/fd", X_OK) != 0) close(fd_), fd_ = -1, errno = EOPNOTSUPP;
        if (fd_ < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return {errno, ""};
        anonimo_ = fd_ >= 0;
    }
    if (fd_ < 0) {
        bloqueio_sinais b;
        for (int tentativa = 0; fd_ < 0 && tentativa < 100; ++tentativa) {
            temporario_ = nome_temporario(diretorio_);
            fd_ = open(temporario_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
            if (fd_ < 0 && errno != EEXIST) break;
        }
        if (fd_ < 0) {
            const int e = errno;
            temporario_.clear();
            return {e, ""};
        }
        vaga_ = registrar_temporario(temporario_);
    }
    if (fchmod(fd_, modo) != 0) {
        const int e = errno;
        descartar();
        return {e, ""};
    }
    return {};
}

const std::string& gravacao_segura::caminho_para_escrita() const { return direto_ ? destino_ : temporario_; }

falha_arquivo gravacao_segura::escrever(const char* p, std::size_t n) {
    if (fd_ < 0) return {EBADF, ""};
    return escrever_tudo(fd_, p, n);
}

falha_arquivo gravacao_segura::efetivar() {
    if (fd_ < 0) return {EBADF, ""};
    const int fd = fd_;
    fd_ = -1;
    if (direto_) return close(fd) != 0 && errno != EINTR ? falha_arquivo{errno, ""} : falha_arquivo{};
    if (fsync(fd) != 0 && errno != EINVAL && errno != EROFS) {
        const int e = errno;
        close(fd);
        descartar();
        return {e, ""};
    }
    bloqueio_sinais b;
    if (anonimo_) {
        // o temporário ganha um nome só agora; entre o nome e a troca, os sinais esperam
        const std::string origem = "/proc/self/fd/" + std::to_string(fd);
        for (int tentativa = 0; tentativa < 100; ++tentativa) {
            temporario_ = nome_temporario(diretorio_);
            if (linkat(AT_FDCWD, origem.c_str(), AT_FDCWD, temporario_.c_str(), AT_SYMLINK_FOLLOW) == 0) break;
            const int e = errno;
            temporario_.clear();
            if (e != EEXIST) {
                close(fd);
                return {e, ""};
            }
        }
        vaga_ = registrar_temporario(temporario_);
    }
    if (close(fd) != 0 && errno != EINTR) {
        const int e = errno;
        descartar();
        return {e, ""};
    }
    if (rename(temporario_.c_str(), destino_.c_str()) != 0) {
        const int e = errno;
        descartar();
        return {e, ""};
    }
    esquecer_temporario(vaga_);
    vaga_ = -1;
    temporario_.clear();
    return {};
}

void gravacao_segura::descartar() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    if (!temporario_.empty()) {
        bloqueio_sinais b;
        unlink(temporario_.c_str());
        esquecer_temporario(vaga_);
    }
    vaga_ = -1;
    temporario_.clear();
    direto_ = anonimo_ = false;
}

falha_arquivo anexar_sob_trava(const std::string& caminho,
                               const std::function<std::string(bool vazio)>& conteudo) {
    std::string real;
    if (falha_arquivo f = resolver(caminho, real)) return f;
    const falha_arquivo nao_regular{EINVAL, "not a regular file"};
    if (descritor_de(real) != -2) return nao_regular;
    const int fd = open(real.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) return errno == ENXIO ? nao_regular : falha_arquivo{errno, ""};
    auto fim = [fd](falha_arquivo f) {
        if (close(fd) != 0 && !f && errno != EINTR) f = {errno, ""};
        return f;
    };
    struct stat st{};
    if (fstat(fd, &st) != 0) return fim({errno, ""});
    if (!S_ISREG(st.st_mode)) return fim(nao_regular);
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    while (flock(fd, LOCK_EX) != 0)
        if (errno != EINTR) return fim({errno, ""});
    if (fstat(fd, &st) != 0) return fim({errno, ""});
    const std::string s = conteudo(st.st_size == 0);
    falha_arquivo f = escrever_tudo(fd, s.data(), s.size());
    if (f && ftruncate(fd, st.st_size) != 0) f.motivo = descrever(f) + " (and the file could not be cut back)";
    return fim(f);
}
