// Leitura do arquivo de entrada (um valor por linha, leitura dirigida por lista) e tamanhos dos níveis.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "platform/plataforma.h"
#include "report/listagem.h"
#include "run/erro_fatal.h"
#include "run/leitor.h"
#include "modelo_entrada.h"

namespace {

constexpr int unidade = 7;
constexpr std::size_t max_numero = 4096; // caracteres de um valor numérico
constexpr std::int64_t max_int32 = 2147483647;

// Os primeiros n caracteres de s (UTF-8 válido: pontos de código; senão, bytes).
std::string primeiros(const std::string& s, std::size_t n) {
    std::size_t i = 0;
    for (std::size_t k = 0; k < n && i < s.size(); ++k) {
        unsigned v = 0;
        const int m = static_cast<unsigned char>(s[i]) < 0x80 ? 1 : sequencia_utf8(s, i, v);
        if (m == 0) return s.substr(0, n); // não é UTF-8
        i += static_cast<std::size_t>(m);
    }
    return s.substr(0, i);
}

// Texto de n caracteres: escrito em UTF-8 (um editor de hoje) vira Latin-1; lido até 4 bytes por caractere,
// para que o corte em n conte caracteres e não bytes. Em `escrito`, o texto como está no arquivo, no mesmo corte.
std::string ler_texto(leitor& l, const char* nome, std::size_t n, std::string* escrito = nullptr) {
    std::string v = l.valor(nome, true, 4 * n);
    valor_lido& r = l.lidos().back();
    if (escrito) *escrito = sem_brancos_finais(primeiros(v, n));
    v = latin1_de(v, &r.perdidos);
    if (v.size() > n) {
        v.resize(n);
        r.cortado = true;
    }
    r.usado = v;
    v.resize(n, ' ');
    return v;
}

int ler_inteiro(leitor& l, const char* nome) {
    const std::string s = l.valor(nome, false, max_numero);
    std::size_t i = 0;
    const bool negativo = !s.empty() && s[0] == '-';
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) ++i;
    if (i == s.size()) l.erro("list-directed input syntax error", std::string(nome) + " = \"" + mostrar(s) + "\" is not an integer");
    std::int64_t x = 0;
    bool grande = false;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') {
            l.erro("list-directed input syntax error", std::string(nome) + " = \"" + mostrar(s) + "\" is not an integer");
        }
        if (!grande) x = x * 10 + (s[i] - '0');
        if (x > max_int32 + 1) grande = true;
    }
    if (grande || x > max_int32 + (negativo ? 1 : 0)) {
        l.erro("value out of range", std::string(nome) + " = " + mostrar(s) +
                                         " does not fit a 32-bit integer (-2147483648 to 2147483647)");
    }
    return static_cast<int>(negativo ? -x : x);
}

// Real: sinal opcional, dígitos com ponto opcional, expoente opcional com E ou D.
double ler_real(leitor& l, const char* nome) {
    const std::string s = l.valor(nome, false, max_numero);
    std::string c = s;
    std::size_t i = 0, digitos = 0;
    if (i < c.size() && (c[i] == '+' || c[i] == '-')) ++i;
    while (i < c.size() && c[i] >= '0' && c[i] <= '9') ++i, ++digitos;
    if (i < c.size() && c[i] == '.') {
        ++i;
        while (i < c.size() && c[i] >= '0' && c[i] <= '9') ++i, ++digitos;
    }
    bool valido = digitos > 0;
    if (valido && i < c.size()) {
        if (c[i] == 'E' || c[i] == 'e' || c[i] == 'D' || c[i] == 'd') {
            c[i++] = 'e';
            if (i < c.size() && (c[i] == '+' || c[i] == '-')) ++i;
            std::size_t expo = 0;
            while (i < c.size() && c[i] >= '0' && c[i] <= '9') ++i, ++expo;
            valido = expo > 0 && i == c.size();
        } else {
            valido = false;
        }
    }
    if (!valido) l.erro("list-directed input syntax error", std::string(nome) + " = \"" + mostrar(s) + "\" is not a real number");
    const double v = std::strtod(c.c_str(), nullptr);
    if (!std::isfinite(v)) l.erro("value out of range", std::string(nome) + " = " + mostrar(s) + " is beyond the largest double");
    return v;
}

} // namespace

std::vector<std::string> ler_valores(estado_execucao& e, std::FILE* f, const std::string& arquivo) {
    leitor l(f, arquivo);
    // o arquivo da listagem tem o nome como foi escrito: "ação.lst" num editor UTF-8 é "ação.lst" no disco
    e.caso = ler_texto(l, "caso", 50, &e.arquivo_listagem);
    e.nm = ler_inteiro(l, "nm");
    if (e.nm < 1 || e.nm > 31) {
        l.erro("value out of range", "nm = " + std::to_string(e.nm) + ", must be 1 to 31");
    }
    e.nxg.assign(e.nm + 1, 0);
    e.nyg.assign(e.nm + 1, 0);
    e.nxyg.assign(e.nm + 1, 0);
    e.nxg[1] = ler_inteiro(l, "nxg(1)");
    if (e.nxg[1] < 2) l.erro("value out of range", "nxg(1) = " + std::to_string(e.nxg[1]) + ", must be at least 2");
    e.nyg[1] = ler_inteiro(l, "nyg(1)");
    if (e.nyg[1] < 2) l.erro("value out of range", "nyg(1) = " + std::to_string(e.nyg[1]) + ", must be at least 2");

    // tamanhos em 64 bits: todos devem caber em 32 bits com sinal
    std::int64_t total = 0;
    for (int k = 1; k <= e.nm; ++k) {
        const std::int64_t nx = (static_cast<std::int64_t>(e.nxg[1]) - 1) * (std::int64_t{1} << (k - 1)) + 1;
        const std::int64_t ny = (static_cast<std::int64_t>(e.nyg[1]) - 1) * (std::int64_t{1} << (k - 1)) + 1;
        std::string excesso;
        if (nx > max_int32) excesso = "nxg(" + std::to_string(k) + ") = " + std::to_string(nx);
        else if (ny > max_int32) excesso = "nyg(" + std::to_string(k) + ") = " + std::to_string(ny);
        else if (nx * ny > max_int32) excesso = "nxyg(" + std::to_string(k) + ") = " + std::to_string(nx * ny);
        else if ((total += nx * ny) > max_int32) excesso = "nxyt = " + std::to_string(total);
        if (!excesso.empty()) {
            l.erro("value out of range", "nm = " + std::to_string(e.nm) + ", nxg(1) = " + std::to_string(e.nxg[1]) +
                                             " and nyg(1) = " + std::to_string(e.nyg[1]) + " give " + excesso +
                                             ", above the 32-bit limit 2147483647");
        }
    }

    e.tolt = ler_real(l, "tolt");
    e.itmax = ler_inteiro(l, "itmax");
    e.nitm = ler_inteiro(l, "nitm");
    e.problema = ler_inteiro(l, "problema");
    e.tipo_ci = ler_inteiro(l, "tipo_ci");
    e.escreve = ler_inteiro(l, "escreve");
    e.freq = ler_inteiro(l, "freq");
    e.titulo = ler_texto(l, "titulo", 90);
    return avisos_da_entrada(e, l.lidos(), arquivo);
}

void derivar_niveis(estado_execucao& e) {
    e.nxyg[1] = e.nxg[1] * e.nyg[1];
    for (int k = 2; k <= e.nm; ++k) {
        e.nxg[k] = (e.nxg[1] - 1) * (1 << (k - 1)) + 1;
        e.nyg[k] = (e.nyg[1] - 1) * (1 << (k - 1)) + 1;
        e.nxyg[k] = e.nxg[k] * e.nyg[k];
    }
    e.nxyt = 0;
    for (int k = 1; k <= e.nm; ++k) e.nxyt += e.nxyg[k];
}

void criar_hist(estado_execucao& e) {
    const std::size_t n = static_cast<std::size_t>(std::clamp(e.itmax, 0, hist_inicial - 1)) + 1;
    try {
        e.hist.assign(n, 0.0);
    } catch (const std::bad_alloc&) {
        throw erro_fatal("out of memory allocating hist (" + std::to_string(n * sizeof(double)) + " bytes)");
    }
}

// Falta a entrada e um editor vai abri-la: o modelo comentado é escrito antes, como o git abre o modelo de uma
// mensagem; sem editor, o erro diz como obter o modelo.
std::vector<std::string> ler_dados(estado_execucao& e, const std::string& arquivo, bool editar) {
    std::vector<std::string> avisos;
    if (editar && ha_editor() && !identificar(arquivo).existe) {
        gravacao_segura g;
        falha_arquivo f = g.abrir(arquivo);
        if (!f) f = g.escrever(modelo_entrada, std::strlen(modelo_entrada));
        if (!f) f = g.efetivar();
        if (f)
            throw erro_fatal("cannot create unit 7, file " + arquivo + " (an example to start from): " + descrever(f));
        avisos.push_back("note: " + arquivo + " did not exist: it now holds a commented example, opened in the editor");
    }
    if (editar) executar_editor(arquivo);
    std::FILE* f = std::fopen(arquivo.c_str(), "r");
    if (!f) {
        const int erro = errno;
        const std::string dica =
            erro == ENOENT ? "'placa --template > " + arquivo + "' writes a commented example to start from" : "";
        throw erro_fatal("cannot open unit " + std::to_string(unidade) + ", file " + arquivo + ": " +
                             std::strerror(erro),
                         dica);
    }
    try {
        const std::vector<std::string> lidos = ler_valores(e, f, arquivo);
        avisos.insert(avisos.end(), lidos.begin(), lidos.end());
    } catch (...) {
        std::fclose(f);
        throw;
    }
    std::fclose(f);
    derivar_niveis(e);
    criar_hist(e);
    return avisos;
}
