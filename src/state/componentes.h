// Componentes do método como dados: uma linha por suavizador, restrição e ciclo, com o nome e tudo o que o
// programa sabe deles além do núcleo (solver/nucleos.cpp liga cada linha ao seu núcleo). O parser, o plano, a
// análise, o trabalho e os relatórios leem estas tabelas; um componente novo é uma linha aqui e um arquivo de núcleo.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "state/metodo.h"

// Como a análise de Fourier local representa uma varredura do suavizador.
enum class forma_simbolo {
    gs_frente,       // Gauss-Seidel pontual lexicográfico (com relaxação)
    gs_ida_e_volta,  // uma varredura para frente e uma para trás
    vermelho_preto,  // meias varreduras de Jacobi numa cor, depois na outra
    jacobi,          // Jacobi amortecido
    linhas_x,        // linhas em x de sul a norte, cada uma resolvida exatamente
    linhas_y,        // colunas de oeste a leste
    linhas_y_e_x,    // uma varredura line-x e uma line-y
};

// Memória de trabalho de um suavizador, dimensionada pelo nível mais fino.
enum class rascunho_suavizador {
    nenhum,
    nivel,  // uma cópia do nível (Jacobi)
    linhas, // as recorrências de Thomas: 4*(max(nx, ny)+1)
};

struct componente_suavizador {
    tipo_suavizador tipo;
    const char* nome;               // na linha de comando e em todo relatório
    bool aceita_omega;              // relaxa com --omega
    double omega_padrao;            // sem --omega (1 nos que não relaxam)
    double passadas;                // passadas pela malha que uma varredura conta no trabalho (ida e volta: 2)
    rascunho_suavizador rascunho;
    forma_simbolo simbolo;
    bool rapido;                    // com omega 1, a passada rápida faz as suas varreduras
    bool rapido_com_omega;          // a passada rápida o faz também relaxado (omega != 1)
};

// Como a análise representa a restrição: o símbolo de R sobre um harmônico.
enum class forma_restricao { injecao, meia, completa, transposta };

struct componente_restricao {
    tipo_restricao tipo;
    const char* nome;
    forma_restricao simbolo;
    bool linhas_de_residuo;         // precisa de três linhas de resíduos de rascunho (as ponderações)
    bool rapida;                    // a passada rápida a faz junto com as varreduras (injeção, meia, completa)
    bool uma_direcao;               // tem forma numa direção só (semiengrossamento); a meia ponderação não tem
};

struct componente_interpolacao {
    tipo_interpolacao tipo;
    const char* nome;
    bool rapida;                    // a passada rápida a faz (bilinear)
};

struct componente_operador_grosso {
    tipo_operador_grosso tipo;
    const char* nome;
};

struct componente_engrossamento {
    tipo_engrossamento tipo;
    const char* nome;
    bool em_x, em_y;                // as direções que cada nível grosso divide ao meio
};

struct componente_ciclo {
    tipo_ciclo tipo;
    const char* nome;
    int chamadas;                   // ciclos no nível abaixo por visita de um nível k > 1
    tipo_ciclo abaixo[2];           // o tipo de cada um, em ordem
};

/// As tabelas, na ordem dos tipos.
std::span<const componente_suavizador> suavizadores();
std::span<const componente_restricao> restricoes();
std::span<const componente_ciclo> ciclos();
std::span<const componente_interpolacao> interpolacoes();
std::span<const componente_operador_grosso> operadores_grossos();
std::span<const componente_engrossamento> engrossamentos();
/// A linha de um componente.
const componente_suavizador& componente(tipo_suavizador s);
const componente_restricao& componente(tipo_restricao r);
const componente_ciclo& componente(tipo_ciclo c);
const componente_interpolacao& componente(tipo_interpolacao i);
const componente_operador_grosso& componente(tipo_operador_grosso o);
const componente_engrossamento& componente(tipo_engrossamento g);
/// A linha de um nome, ou nada.
const componente_suavizador* suavizador_de_nome(std::string_view nome);
const componente_restricao* restricao_de_nome(std::string_view nome);
const componente_ciclo* ciclo_de_nome(std::string_view nome);
const componente_interpolacao* interpolacao_de_nome(std::string_view nome);
const componente_operador_grosso* operador_grosso_de_nome(std::string_view nome);
const componente_engrossamento* engrossamento_de_nome(std::string_view nome);
/// Os nomes de uma tabela numa lista para pessoas, "gs-lex, gs-rb, ... ou line-alt", com a conjunção `ou` antes do
/// último (", " quando ela é vazia).
std::string nomes_de_suavizadores(const char* ou);
std::string nomes_de_restricoes(const char* ou);
std::string nomes_de_ciclos(const char* ou);
std::string nomes_de_interpolacoes(const char* ou);
std::string nomes_de_operadores_grossos(const char* ou);
std::string nomes_de_engrossamentos(const char* ou);
