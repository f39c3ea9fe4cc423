// Leitor de valores: um valor por leitura, a partir de uma linha nova; brancos, vírgulas e barras terminam um
// valor sem aspas; textos entre apóstrofos ou aspas, com o delimitador dobrado valendo um.
#include <stdio.h> // getc_unlocked

#include <cerrno>
#include <cstring>

#include <algorithm>

#include "report/listagem.h"
#include "state/erro_fatal.h"
#include "run/leitor.h"

namespace {

constexpr std::size_t max_resto = 40; // bytes guardados do que segue um valor na sua linha

bool branco(int c) { return c == ' ' || c == '\t'; }

} // namespace

bool tem_controle(const std::string& s) {
    for (unsigned char c : s)
        if (c < 32 || c == 127) return true;
    return false;
}

// Os caracteres de fora do ASCII ficam como estão: a mensagem passa por para_terminal, que os converte ao conjunto
// do terminal (UTF-8 válido como UTF-8, um byte solto como Latin-1) e escapa o que não pode aparecer.
std::string mostrar(const std::string& s) {
    static const char hex[] = "0123456789abcdef";
    std::string r;
    std::size_t i = 0;
    for (int n = 0; i < s.size() && n < 40; ++n) {
        const auto c = static_cast<unsigned char>(s[i]);
        unsigned v = 0;
        const int k = c >= 0x80 ? std::max(1, sequencia_utf8(s, i, v)) : 1;
        if (c < 32 || c == 127) {
            r += "\\x";
            r += hex[c >> 4];
            r += hex[c & 15];
        } else {
            r.append(s, i, static_cast<std::size_t>(k)); // um caractere inteiro, nunca meia sequência
        }
        i += static_cast<std::size_t>(k);
    }
    if (i < s.size()) r += "...";
    return r;
}

void leitor::erro(const std::string& tipo, const std::string& detalhe) const {
    throw erro_fatal(tipo + ", unit " + std::to_string(unidade) + ", file " + arquivo_ + ", line " +
                     std::to_string(linha_) + ": " + detalhe);
}

// Próximo byte do arquivo, antes os devolvidos.
int leitor::cru() {
    if (devolvidos_.empty()) return getc_unlocked(f_); // o leitor é o único a ler f_ enquanto lê
    const int c = static_cast<unsigned char>(devolvidos_.back());
    devolvidos_.pop_back();
    return c;
}

// Próximo caractere; CR antes de LF ou do fim do arquivo conta como fim de linha. A marca EF BB BF que o
// Bloco de Notas põe no começo de um arquivo UTF-8 não é texto.
int leitor::ler() {
    int c = cru();
    if (comeco_) {
        comeco_ = false;
        if (c == 0xEF) {
            const int b = cru(), d = b == 0xBB ? cru() : EOF;
            if (b == 0xBB && d == 0xBF) return ler();
            if (d != EOF) devolvidos_ += static_cast<char>(d);
            if (b != EOF) devolvidos_ += static_cast<char>(b);
        }
    }
    if (c == '\r') {
        const int d = cru();
        if (d == '\n' || d == EOF) c = '\n';
        else devolvidos_ += static_cast<char>(d);
    }
    if (c == EOF && std::ferror(f_)) {
        throw erro_fatal("error reading unit " + std::to_string(unidade) + ", file " + arquivo_ + ": " +
                         std::strerror(errno));
    }
    return c;
}

// Descarta o resto da linha, guardando o começo dele.
void leitor::pular_linha(std::string& resto) {
    for (int c = ler(); c != '\n' && c != EOF; c = ler())
        if (resto.size() < max_resto) resto += static_cast<char>(c);
}

// O primeiro caractere de uma linha com valor, depois dos brancos; linhas em branco são puladas. O fim do arquivo
// antes de um valor é o erro de fim de arquivo, com a última linha lida.
int leitor::primeiro_caractere(const char* nome) {
    for (;;) {
        ++linha_;
        int c = ler();
        bool algo = false; // a linha tem ao menos um caractere
        while (branco(c)) {
            c = ler();
            algo = true;
        }
        if (c == EOF) {
            const long long ultima = algo ? linha_ : linha_ - 1;
            throw erro_fatal("end-of-file during read, unit " + std::to_string(unidade) + ", file " + arquivo_ +
                             ": " + nome + " missing (" +
                             (ultima == 0 ? std::string("the file is empty")
                                          : "the file ends after line " + std::to_string(ultima)) + ")");
        }
        if (c != '\n') return c;
    }
}

// Um texto entre o delimitador (já lido) e o seu par; o delimitador dobrado vale um.
void leitor::ler_entre_aspas(valor_lido& r, int delim, std::size_t limite) {
    std::string& v = r.texto;
    for (;;) {
        const int c = ler();
        if (c == EOF || c == '\n') {
            erro("list-directed input syntax error",
                 "unterminated quoted text for " + r.nome + ": " + static_cast<char>(delim) + mostrar(v));
        }
        if (c == delim) {
            const int d = ler();
            if (d != delim) { // fim do texto; o resto da linha é ignorado
                if (d != '\n' && d != EOF) {
                    r.resto += static_cast<char>(d);
                    pular_linha(r.resto);
                }
                return;
            }
        }
        if (c == '\0') erro("list-directed input syntax error", "NUL byte in " + r.nome);
        if (v.size() < limite) v += static_cast<char>(c);
        else r.cortado = true;
    }
}

// Um valor sem aspas a partir de c: até um branco, vírgula, barra ou o fim da linha.
void leitor::ler_sem_aspas(valor_lido& r, int c, forma_valor forma, std::size_t limite) {
    std::string& v = r.texto;
    while (c != EOF && c != '\n' && !branco(c) && c != ',' && c != '/') {
        if (c == '\0') erro("list-directed input syntax error", "NUL byte in " + r.nome);
        if (v.size() < limite) v += static_cast<char>(c);
        else if (forma == forma_valor::numero)
            erro("list-directed input syntax error", r.nome + " is too long: " + mostrar(v));
        else r.cortado = true;
        c = ler();
    }
    if (c != EOF && c != '\n') {
        r.resto += static_cast<char>(c);
        pular_linha(r.resto);
    }
}

std::string leitor::valor(const char* nome, forma_valor forma, std::size_t limite) {
    const int c = primeiro_caractere(nome);
    if (c == ',' || c == '/') {
        erro("list-directed input syntax error",
             std::string("no value for ") + nome + " before '" + static_cast<char>(c) + "'");
    }
    valor_lido r;
    r.nome = nome;
    r.linha = linha_;
    if (c == '\'' || c == '"') {
        if (forma == forma_valor::numero)
            erro("list-directed input syntax error", std::string("a quoted text where ") + nome + " (a number) belongs");
        ler_entre_aspas(r, c, limite);
    } else {
        ler_sem_aspas(r, c, forma, limite);
    }
    lidos_.push_back(r);
    return r.texto;
}
