// Leitura do arquivo de entrada (um valor por linha, leitura dirigida por lista) e tamanhos dos níveis.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <string>

#include "platform/plataforma.h"
#include "report/listagem.h"
#include "state/erro_fatal.h"
#include "run/leitor.h"
#include "modelo_entrada.h"

namespace {

constexpr std::size_t max_numero = 4096; // caracteres de um valor numérico

// Texto de n caracteres, lido até 4 bytes por caractere (o corte em n conta caracteres, não bytes).
std::string ler_texto(leitor& l, const char* nome, std::size_t n, std::string* escrito = nullptr) {
    const std::string v = l.valor(nome, forma_valor::texto, 4 * n);
    return converter_texto(v, n, l.lidos().back(), escrito);
}

int ler_inteiro(leitor& l, const char* nome) {
    int v = 0;
    if (const falha_valor f = converter_inteiro(l.valor(nome, forma_valor::numero, max_numero), nome, v)) l.erro(f.tipo, f.detalhe);
    return v;
}

double ler_real(leitor& l, const char* nome) {
    double v = 0.0;
    if (const falha_valor f = converter_real(l.valor(nome, forma_valor::numero, max_numero), nome, v)) l.erro(f.tipo, f.detalhe);
    return v;
}

} // namespace

std::vector<valor_lido> ler_registros(estado_execucao& e, std::FILE* f, const std::string& arquivo) {
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
    if (const std::string excesso = excesso_de_tamanho(e.nm, e.nxg[1], e.nyg[1]); !excesso.empty()) {
        l.erro("value out of range", "nm = " + std::to_string(e.nm) + ", nxg(1) = " + std::to_string(e.nxg[1]) +
                                         " and nyg(1) = " + std::to_string(e.nyg[1]) + " give " + excesso +
                                         ", above the 32-bit limit 2147483647");
    }
    e.tolt = ler_real(l, "tolt");
    e.itmax = ler_inteiro(l, "itmax");
    e.nitm = ler_inteiro(l, "nitm");
    e.problema = ler_inteiro(l, "problema");
    e.tipo_ci = ler_inteiro(l, "tipo_ci");
    e.escreve = ler_inteiro(l, "escreve");
    e.freq = ler_inteiro(l, "freq");
    e.titulo = ler_texto(l, "titulo", 90);
    return l.lidos();
}

std::vector<std::string> ler_valores(estado_execucao& e, std::FILE* f, const std::string& arquivo) {
    return avisos_da_entrada(e, ler_registros(e, f, arquivo), arquivo);
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

entrada_unica ler_entrada_uma_vez(const std::string& arquivo, std::span<const alteracao_entrada> alteracoes) {
    constexpr std::size_t limite = std::size_t{64} << 20;
    entrada_unica r;
    std::string bytes;
    if (falha_arquivo x = ler_arquivo(arquivo, limite, bytes)) {
        if (x.codigo == EFBIG)
            throw erro_fatal("a study reads unit 7, file " + arquivo + " once, into memory: it is larger than 64 MiB");
        const std::string o_que = x.codigo == EISDIR ? "error reading unit " : "cannot open unit ";
        throw erro_fatal(o_que + std::to_string(unidade) + ", file " + arquivo + ": " + descrever(x));
    }
    // o leitor de sempre, sobre a cópia na memória (um arquivo vazio: /dev/null, que fmemopen não abre com 0 bytes)
    std::FILE* f = bytes.empty() ? std::fopen("/dev/null", "r") : fmemopen(bytes.data(), bytes.size(), "r");
    if (!f) throw erro_fatal("cannot read unit 7, file " + arquivo + " from memory: " + std::strerror(errno));
    std::vector<valor_lido> lidos;
    try {
        lidos = ler_registros(r.estado, f, arquivo);
    } catch (...) {
        std::fclose(f);
        throw;
    }
    std::fclose(f);
    aplicar_alteracoes(r.estado, alteracoes, lidos);
    r.avisos = avisos_da_entrada(r.estado, lidos, arquivo);
    derivar_niveis(r.estado);
    criar_hist(r.estado);
    r.bytes = std::move(bytes);
    return r;
}

// Falta a entrada e um editor vai abri-la: o modelo comentado é escrito antes, como o git abre o modelo de uma
// mensagem; sem editor, o erro diz como obter o modelo.
std::vector<std::string> ler_dados(estado_execucao& e, const pedido_leitura& pedido) {
    const std::string& arquivo = pedido.arquivo;
    const bool editar = pedido.editar;
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
    std::vector<valor_lido> lidos;
    try {
        lidos = ler_registros(e, f, arquivo);
    } catch (...) {
        std::fclose(f);
        throw;
    }
    std::fclose(f);
    aplicar_alteracoes(e, pedido.alteracoes, lidos);
    const std::vector<std::string> suspeitos = avisos_da_entrada(e, lidos, arquivo);
    avisos.insert(avisos.end(), suspeitos.begin(), suspeitos.end());
    derivar_niveis(e);
    criar_hist(e);
    return avisos;
}
