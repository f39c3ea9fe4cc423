#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/plataforma.h"
#include "report/listagem.h"
#include "run/erro_fatal.h"

namespace {

[[noreturn]] void falha(const std::string& canal, const std::string& arquivo, const char* o_que, int erro) {
    std::string m(o_que);
    m.append(", ").append(canal).append(", file ").append(arquivo).append(": ").append(std::strerror(erro));
    throw erro_fatal(m);
}

} // namespace

// A listagem nasce num temporário do mesmo diretório e só substitui a antiga quando completa.
void gravar_listagem(const std::string& nome, const estado_execucao& e, const metodo_solver& metodo) {
    if (nome.empty()) throw erro_fatal("cannot open unit 10: the listing name (caso) is empty");
    gravar_atomico(nome, [&](saida_texto& s) { escrever_listagem(e, s, metodo); }, "unit 10");
}

void gravar_atomico(const std::string& nome, const std::string& conteudo, const std::string& canal) {
    gravar_atomico(nome, [&](saida_texto& s) { s.texto = conteudo; }, canal);
}

void gravar_atomico(const std::string& nome, const std::function<void(saida_texto&)>& produzir,
                    const std::string& canal) {
    // um link simbólico continua link: substitui-se o arquivo para onde ele aponta
    std::string arquivo = nome;
    struct stat st{};
    if (lstat(nome.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* alvo = realpath(nome.c_str(), nullptr)) {
            arquivo = alvo;
            std::free(alvo);
        }
    }
    mode_t modo;
    if (stat(arquivo.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) falha(canal, nome, "cannot open", EISDIR);
        if ((st.st_mode & 0222) == 0) falha(canal, nome, "cannot open", EACCES);
        modo = st.st_mode & 07777;
    } else {
        const mode_t m = umask(0);
        umask(m);
        modo = 0666 & ~m;
    }
    const std::size_t barra = arquivo.rfind('/');
    const std::string dir = barra == std::string::npos ? "" : arquivo.substr(0, barra + 1);
    std::string modelo = dir + ".placa-XXXXXX";
    const int fd = criar_temporario(modelo);
    if (fd < 0) falha(canal, nome, "cannot open", errno);
    // qualquer saída por exceção daqui em diante apaga o temporário
    try {
        if (fchmod(fd, modo) != 0) falha(canal, nome, "cannot open", errno);
        saida_texto s;
        s.destino = [&](const std::string& bloco) {
            const char* p = bloco.data();
            std::size_t resta = bloco.size();
            while (resta > 0) {
                const ssize_t n = write(fd, p, resta);
                if (n < 0) {
                    if (errno == EINTR) continue;
                    falha(canal, nome, "write error", errno);
                }
                p += n;
                resta -= static_cast<std::size_t>(n);
            }
        };
        produzir(s);
        s.terminar();
        if (fsync(fd) != 0 && errno != EINVAL) falha(canal, nome, "write error", errno);
    } catch (...) {
        close(fd);
        descartar_temporario(modelo);
        throw;
    }
    if (close(fd) != 0) {
        const int erro = errno;
        descartar_temporario(modelo);
        falha(canal, nome, "write error", erro);
    }
    if (efetivar_temporario(modelo, arquivo) != 0) falha(canal, nome, "cannot open", errno);
}
