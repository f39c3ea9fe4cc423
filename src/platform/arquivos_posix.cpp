// Gravação segura no POSIX: temporário anônimo (O_TMPFILE, com um temporário com nome onde o sistema de arquivos
// o recusa) que só ganha o nome do destino quando efetivado; e anexação sob trava, desfeita numa falha.
#include <algorithm>
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

gravacao_segura::~gravacao_segura() { descartar(); }

gravacao_segura::gravacao_segura(gravacao_segura&& o) noexcept { *this = std::move(o); }

gravacao_segura& gravacao_segura::operator=(gravacao_segura&& o) noexcept {
    if (this != &o) {
        descartar();
        fd_ = o.fd_, herdado_ = o.herdado_, vaga_ = o.vaga_, direto_ = o.direto_, anonimo_ = o.anonimo_;
        destino_ = std::move(o.destino_), diretorio_ = std::move(o.diretorio_);
        temporario_ = std::move(o.temporario_), para_outro_ = std::move(o.para_outro_);
        o.fd_ = -1, o.herdado_ = -1, o.vaga_ = -1;
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
    fd_ = open(ou_corrente(diretorio_), O_TMPFILE | O_WRONLY | O_CLOEXEC, modo);
    // o nome virá por /proc/self/fd; sem /proc, um temporário com nome
    if (fd_ >= 0 && access("/proc/self/fd", X_OK) != 0) close(fd_), fd_ = -1, errno = EOPNOTSUPP;
    if (fd_ < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return {errno, ""};
    anonimo_ = fd_ >= 0;
    if (anonimo_ && tipo == tipo_temporario::para_outro_programa) {
        // o filho reabre o temporário por /dev/fd/N (leitura ou escrita, do começo): N sem FD_CLOEXEC
        herdado_ = fcntl(fd_, F_DUPFD, 3);
        if (herdado_ < 0) {
            const int e = errno;
            descartar();
            return {e, ""};
        }
        para_outro_ = "/dev/fd/" + std::to_string(herdado_);
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

const std::string& gravacao_segura::caminho_para_escrita() const {
    return direto_ ? destino_ : herdado_ >= 0 ? para_outro_ : temporario_;
}

falha_arquivo gravacao_segura::escrever(const char* p, std::size_t n) {
    if (fd_ < 0) return {EBADF, ""};
    return escrever_tudo(fd_, p, n);
}

falha_arquivo gravacao_segura::efetivar() {
    if (fd_ < 0) return {EBADF, ""};
    if (herdado_ >= 0) close(herdado_), herdado_ = -1;
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
    if (herdado_ >= 0) close(herdado_);
    fd_ = herdado_ = -1;
    if (!temporario_.empty()) {
        bloqueio_sinais b;
        unlink(temporario_.c_str());
        esquecer_temporario(vaga_);
    }
    vaga_ = -1;
    temporario_.clear();
    direto_ = anonimo_ = false;
}

falha_arquivo ler_arquivo(const std::string& caminho, std::size_t limite, std::string& conteudo) {
    conteudo.clear();
    const int fd = open(caminho.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return {errno, ""};
    // um arquivo regular cabe de uma vez: sem as cópias de um texto que dobra (o campo de um reinício tem megabytes)
    struct stat st {};
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        conteudo.reserve(std::min(static_cast<std::size_t>(st.st_size), limite) + 1);
    char b[65536];
    for (;;) {
        const ssize_t k = read(fd, b, sizeof b);
        if (k < 0 && errno == EINTR) continue;
        if (k <= 0) {
            const int e = k < 0 ? errno : 0;
            close(fd);
            return {e, ""};
        }
        if (conteudo.size() + static_cast<std::size_t>(k) > limite) {
            close(fd);
            return {EFBIG, ""};
        }
        conteudo.append(b, static_cast<std::size_t>(k));
    }
}

trava_de_conjunto::trava_de_conjunto(const std::vector<std::string>& arquivos) {
    struct pasta {
        unsigned long long dispositivo, inode;
        int fd;
    };
    std::vector<pasta> v;
    for (const std::string& a : arquivos) {
        std::string real;
        if (a.empty() || resolver(a, real) || descritor_de(real) != -2) continue;
        const int fd = open(ou_corrente(diretorio_de(real)), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        struct stat st{};
        if (fd < 0) continue;
        if (fstat(fd, &st) != 0) {
            close(fd);
            continue;
        }
        v.push_back({st.st_dev, st.st_ino, fd});
    }
    // a mesma ordem em todo processo: duas rodadas nunca esperam uma pela outra em círculo
    std::sort(v.begin(), v.end(), [](const pasta& a, const pasta& b) {
        return a.dispositivo != b.dispositivo ? a.dispositivo < b.dispositivo : a.inode < b.inode;
    });
    for (std::size_t i = 0; i < v.size(); ++i) {
        const bool repetida = i > 0 && v[i].dispositivo == v[i - 1].dispositivo && v[i].inode == v[i - 1].inode;
        int r = repetida ? -1 : 0;
        while (r == 0 && flock(v[i].fd, LOCK_EX) != 0)
            if (errno != EINTR) r = -1;
        if (r == 0) pastas_.push_back(v[i].fd);
        else close(v[i].fd);
    }
}

trava_de_conjunto::~trava_de_conjunto() {
    for (int fd : pastas_) close(fd); // fechar solta a trava
}

falha_arquivo anexar_sob_trava(const std::string& caminho,
                               const std::function<std::string(bool vazio)>& conteudo) {
    std::string real;
    if (falha_arquivo f = resolver(caminho, real)) return f;
    const falha_arquivo nao_regular{EINVAL, "not a regular file"};
    if (descritor_de(real) != -2) return nao_regular;
    // O_NOFOLLOW: um link posto no lugar do destino depois de resolvido não é seguido
    const int fd =
        open(real.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW, 0666);
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
