// Valores da entrada trocados pela linha de comando (--set NOME=VALOR): a mesma rodada que o usuário teria ao
// editar o arquivo, com as conversões e conferências da leitura e mensagens que citam a opção.
#include <algorithm>
#include <utility>

#include "state/erro_fatal.h"
#include "run/execucao.h"
#include "run/leitor.h"
#include "state/numeros.h"

namespace {

enum class tipo_valor { texto, inteiro, real };

struct valor_entrada {
    const char* nome;   // na linha de comando
    const char* lido;   // nas mensagens da leitura
    tipo_valor tipo;
    std::size_t limite; // caracteres de um texto
};

constexpr valor_entrada valores[] = {
    {"caso", "caso", tipo_valor::texto, 50},        {"nm", "nm", tipo_valor::inteiro, 0},
    {"nxg", "nxg(1)", tipo_valor::inteiro, 0},      {"nyg", "nyg(1)", tipo_valor::inteiro, 0},
    {"tolt", "tolt", tipo_valor::real, 0},          {"itmax", "itmax", tipo_valor::inteiro, 0},
    {"nitm", "nitm", tipo_valor::inteiro, 0},       {"problema", "problema", tipo_valor::inteiro, 0},
    {"tipo_ci", "tipo_ci", tipo_valor::inteiro, 0}, {"escreve", "escreve", tipo_valor::inteiro, 0},
    {"freq", "freq", tipo_valor::inteiro, 0},       {"titulo", "titulo", tipo_valor::texto, 90}};

const valor_entrada* procurar(std::string_view nome) {
    for (const valor_entrada& v : valores)
        if (nome == v.nome) return &v;
    return nullptr;
}

// Um inteiro aceito e dentro da faixa que a leitura exige (nm 1..31, nxg e nyg >= 2): vazio, senão o motivo.
std::string conferir_inteiro(const valor_entrada& d, const std::string& valor, int& v) {
    if (const falha_valor f = converter_inteiro(valor, d.lido, v)) return f.detalhe;
    const std::string n = d.nome;
    if (n == "nm" && (v < 1 || v > 31)) return "nm = " + std::to_string(v) + ", must be 1 to 31";
    if ((n == "nxg" || n == "nyg") && v < 2)
        return std::string(d.lido) + " = " + std::to_string(v) + ", must be at least 2";
    return {};
}

} // namespace

bool valor_de_entrada(std::string_view nome) { return procurar(nome) != nullptr; }

std::string conferir_valor_de_entrada(const std::string& nome, const std::string& valor) {
    const valor_entrada* d = procurar(nome);
    if (!d) return "'" + mostrar(nome) + "' is not a value of the input file";
    // um número pela regra do arquivo: o que segue o valor (1,5e-8) dá um aviso, não um erro
    const texto_de_numero t = separar_numero(valor);
    if (d->tipo != tipo_valor::texto && t.valor.empty()) return std::string("no value for ") + d->lido;
    if (d->tipo == tipo_valor::inteiro) {
        int v = 0;
        return conferir_inteiro(*d, t.valor, v);
    }
    if (d->tipo == tipo_valor::real) {
        double v = 0.0;
        return converter_real(t.valor, d->lido, v).detalhe;
    }
    // um texto da entrada ocupa uma linha do arquivo
    if (valor.find_first_of("\r\n") != std::string::npos) return std::string(d->lido) + " cannot hold a line end";
    return {};
}

void aplicar_alteracoes(estado_execucao& e, std::span<const alteracao_entrada> alteracoes,
                        std::vector<valor_lido>& lidos) {
    if (alteracoes.empty()) return;
    int nm = e.nm, nx1 = e.nxg[1], ny1 = e.nyg[1];
    bool tamanhos = false;
    std::string ultima_de_tamanho;
    for (const alteracao_entrada& a : alteracoes) {
        const std::string opcao = "--set " + mostrar(a.nome) + "=" + mostrar(a.valor);
        if (const std::string motivo = conferir_valor_de_entrada(a.nome, a.valor); !motivo.empty())
            throw erro_fatal("invalid value for " + opcao + ": " + motivo);
        const valor_entrada& d = *procurar(a.nome);
        valor_lido r;
        r.nome = d.lido;
        r.texto = a.valor;
        r.origem = opcao;
        const texto_de_numero numero = separar_numero(a.valor);
        if (d.tipo != tipo_valor::texto) r.texto = numero.valor, r.resto = numero.resto;
        if (d.tipo == tipo_valor::texto) {
            std::string bruto = a.valor; // como a leitura: até 4 bytes por caractere
            if (bruto.size() > 4 * d.limite) {
                bruto.resize(4 * d.limite);
                r.cortado = true;
            }
            if (a.nome == "caso") e.caso = converter_texto(bruto, d.limite, r, &e.arquivo_listagem);
            else e.titulo = converter_texto(bruto, d.limite, r);
        } else if (d.tipo == tipo_valor::real) {
            converter_real(numero.valor, d.lido, e.tolt);
        } else {
            int v = 0;
            conferir_inteiro(d, numero.valor, v);
            const std::pair<const char*, int*> alvos[] = {
                {"nm", &nm},           {"nxg", &nx1},         {"nyg", &ny1},         {"itmax", &e.itmax}, {"nitm", &e.nitm},
                {"problema", &e.problema}, {"tipo_ci", &e.tipo_ci}, {"escreve", &e.escreve}, {"freq", &e.freq}};
            for (const auto& [nome, alvo] : alvos)
                if (a.nome == nome) *alvo = v;
            if (a.nome == "nm" || a.nome == "nxg" || a.nome == "nyg") {
                tamanhos = true;
                ultima_de_tamanho = opcao;
            }
        }
        // o valor do arquivo (ou de um --set anterior) deixa de valer: seus avisos também
        std::erase_if(lidos, [&](const valor_lido& x) { return x.nome == r.nome; });
        lidos.push_back(r);
    }
    if (!tamanhos) return;
    if (const std::string excesso = excesso_de_tamanho(nm, nx1, ny1); !excesso.empty())
        throw erro_fatal(ultima_de_tamanho + ": nm = " + std::to_string(nm) + ", nxg(1) = " + std::to_string(nx1) +
                         " and nyg(1) = " + std::to_string(ny1) + " give " + excesso +
                         ", above the 32-bit limit 2147483647");
    e.nm = nm;
    e.nxg.assign(nm + 1, 0);
    e.nyg.assign(nm + 1, 0);
    e.nxyg.assign(nm + 1, 0);
    e.nxg[1] = nx1;
    e.nyg[1] = ny1;
}
